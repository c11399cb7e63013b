#pragma once
// The program's version, set in one place: the project version of the build.

#ifndef WAVELORN_VERSION
#error "WAVELORN_VERSION comes from the build (project version)"
#endif

inline constexpr const char* kProgramVersion = WAVELORN_VERSION;
