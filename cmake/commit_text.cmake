# Writes OUTPUT, a header defining TIDEWELL_COMMIT_TEXT as the commit the
# sources in SOURCE_DIR are at (empty text where that is not known: no git,
# or no repository), rewriting it only when the commit changed, so that a
# build of the same commit rebuilds nothing.
execute_process(
    COMMAND git -C "${SOURCE_DIR}" rev-parse --short=12 HEAD
    OUTPUT_VARIABLE commit
    OUTPUT_STRIP_TRAILING_WHITESPACE
    ERROR_QUIET
    RESULT_VARIABLE failed)
if(failed)
    set(commit "")
endif()
set(content "#pragma once\n#define TIDEWELL_COMMIT_TEXT L\"${commit}\"\n")
if(EXISTS "${OUTPUT}")
    file(READ "${OUTPUT}" previous)
endif()
if(NOT "${previous}" STREQUAL "${content}")
    file(WRITE "${OUTPUT}" "${content}")
endif()
