#pragma once
// Writes recorder disks from a short description (test fixtures, the demo disk).
