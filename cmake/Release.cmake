# The release of the project version, as CHANGELOG.md describes it under its heading
# "## [VERSION] - YYYY-MM-DD". Sets
#   WAVELORN_RELEASE_DATE      the heading's date, YYYY-MM-DD
#   WAVELORN_RELEASE_EPOCH     midnight UTC of that date in seconds since 1970 (the date of
#                              the man pages, through SOURCE_DATE_EPOCH)
#   WAVELORN_RELEASE_RFC_DATE  the same in RFC 5322 form, as a Debian changelog writes it
#   WAVELORN_RELEASE_NOTES     the section's entries as Debian changelog lines: "### Added"
#                              gives "  * Added:", "- item" gives "    - item"
# A project version without its section in CHANGELOG.md stops the configuration.

set(changelog "${PROJECT_SOURCE_DIR}/CHANGELOG.md")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${changelog}")
file(READ "${changelog}" changelog_text)

set(heading "\n## [${PROJECT_VERSION}] - ")
string(FIND "${changelog_text}" "${heading}" heading_at)
if(heading_at EQUAL -1)
    message(FATAL_ERROR "CHANGELOG.md has no section \"## [${PROJECT_VERSION}] - YYYY-MM-DD\" for the project version")
endif()
string(LENGTH "${heading}" heading_length)
math(EXPR date_at "${heading_at} + ${heading_length}")
string(SUBSTRING "${changelog_text}" ${date_at} 10 WAVELORN_RELEASE_DATE)
if(NOT WAVELORN_RELEASE_DATE MATCHES "^([0-9][0-9][0-9][0-9])-([0-9][0-9])-([0-9][0-9])$")
    message(FATAL_ERROR "CHANGELOG.md: the date of ${PROJECT_VERSION} is not YYYY-MM-DD: ${WAVELORN_RELEASE_DATE}")
endif()

# Days since 1970-01-01 of a date of the proleptic Gregorian calendar (years from 1970 on).
math(EXPR year "${CMAKE_MATCH_1}")
math(EXPR month "${CMAKE_MATCH_2}")
math(EXPR day "${CMAKE_MATCH_3}")
if(month LESS_EQUAL 2)
    math(EXPR year "${year} - 1")
    math(EXPR month_from_march "${month} + 9")
else()
    math(EXPR month_from_march "${month} - 3")
endif()
math(EXPR era "${year} / 400")
math(EXPR year_of_era "${year} - ${era} * 400")
math(EXPR day_of_year "(153 * ${month_from_march} + 2) / 5 + ${day} - 1")
math(EXPR day_of_era "${year_of_era} * 365 + ${year_of_era} / 4 - ${year_of_era} / 100 + ${day_of_year}")
math(EXPR days "${era} * 146097 + ${day_of_era} - 719468")
math(EXPR WAVELORN_RELEASE_EPOCH "${days} * 86400")

# string(TIMESTAMP) reads the time from SOURCE_DATE_EPOCH when it is set.
set(saved_epoch "$ENV{SOURCE_DATE_EPOCH}")
set(ENV{SOURCE_DATE_EPOCH} "${WAVELORN_RELEASE_EPOCH}")
string(TIMESTAMP WAVELORN_RELEASE_RFC_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
string(TIMESTAMP check_date "%Y-%m-%d" UTC)
if(saved_epoch STREQUAL "")
    unset(ENV{SOURCE_DATE_EPOCH})
else()
    set(ENV{SOURCE_DATE_EPOCH} "${saved_epoch}")
endif()
if(NOT check_date STREQUAL WAVELORN_RELEASE_DATE)
    message(FATAL_ERROR "CHANGELOG.md: ${WAVELORN_RELEASE_DATE} is not a date of the calendar")
endif()

# The section's text: from the line after its heading to the next "## " heading.
string(SUBSTRING "${changelog_text}" ${date_at} -1 section)
string(FIND "${section}" "\n" body_at)
string(SUBSTRING "${section}" ${body_at} -1 section)
string(FIND "${section}" "\n## " next_at)
if(NOT next_at EQUAL -1)
    string(SUBSTRING "${section}" 0 ${next_at} section)
endif()
string(APPEND section "\n")
# Continuation lines first, then items, then headings; blank lines go.
string(REGEX REPLACE "\n  ([^ \n])" "\n      \\1" section "${section}")
string(REGEX REPLACE "\n- " "\n    - " section "${section}")
string(REGEX REPLACE "\n### ([^\n]*)" "\n  * \\1:" section "${section}")
string(REGEX REPLACE "\n\n+" "\n" section "${section}")
string(REGEX REPLACE "^\n" "" WAVELORN_RELEASE_NOTES "${section}")

# A Debian changelog line holds at most 80 characters.
string(REPLACE ";" "," note_lines "${WAVELORN_RELEASE_NOTES}")
string(REPLACE "\n" ";" note_lines "${note_lines}")
foreach(line IN LISTS note_lines)
    string(LENGTH "${line}" line_length)
    if(line_length GREATER 80)
        message(FATAL_ERROR "CHANGELOG.md: a line of ${PROJECT_VERSION} is too long for the Debian changelog "
                            "(keep them to 76 characters): ${line}")
    endif()
endforeach()
