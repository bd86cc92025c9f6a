# A source of records is a folder of its own. Its CMakeLists.txt says, with
# the functions below, what the build makes of it: its library, its tests,
# its sample-data makers and its fuzz targets. Each is registered here, so
# that the scan library, the test executables, the sample library and the
# fuzzing pick it up without naming the source. The list of sources, in the
# order of the table of sources, is the top-level CMakeLists.txt's.

# tidewell_source(NAME LIBRARY files...
#                 [TESTS files...]        unit tests built into both builds' test executables
#                 [NATIVE_TESTS files...] tests over the test double (native build)
#                 [WIN32_TESTS files...]  tests of this machine under Wine (Windows build)
#                 [SAMPLE files...])      sample-data makers, into tidewell_sample
function(tidewell_source name)
    cmake_parse_arguments(PARSE_ARGV 1 SOURCE "" "" "LIBRARY;TESTS;NATIVE_TESTS;WIN32_TESTS;SAMPLE")
    add_library(tidewell_${name} STATIC ${SOURCE_LIBRARY})
    target_link_libraries(tidewell_${name} PUBLIC tidewell_model tidewell_machine)
    tidewell_warnings(tidewell_${name})
    set_property(GLOBAL APPEND PROPERTY TIDEWELL_SOURCE_LIBRARIES tidewell_${name})
    foreach(kind TESTS NATIVE_TESTS WIN32_TESTS SAMPLE)
        foreach(file ${SOURCE_${kind}})
            set_property(GLOBAL APPEND PROPERTY TIDEWELL_SOURCE_${kind}
                         ${CMAKE_CURRENT_SOURCE_DIR}/${file})
        endforeach()
    endforeach()
endfunction()

# tidewell_fuzz_target(NAME SOURCE file SEEDS files... BOUND bytes [DICTIONARY file]
#                      [OWN_SEEDS folder] LINKS libraries...)
# A libFuzzer target fuzz_NAME and its seed writer seeds_NAME (a program
# that writes the target's seeds into the folder it is given, and with a
# corpus folder given also the real files of it that fit). scripts/fuzz runs
# every registered target for its bound, with its dictionary.
function(tidewell_fuzz_target name)
    cmake_parse_arguments(PARSE_ARGV 1 FUZZ "" "SOURCE;BOUND;DICTIONARY;OWN_SEEDS" "SEEDS;LINKS")
    if(NOT TIDEWELL_BUILD_FUZZERS)
        return()
    endif()
    # Seeds of its own kept in the source tree (made by hand, or found once).
    if(FUZZ_OWN_SEEDS)
        set(ownSeeds ${CMAKE_CURRENT_SOURCE_DIR}/${FUZZ_OWN_SEEDS})
    else()
        set(ownSeeds -)
    endif()
    add_executable(fuzz_${name} ${FUZZ_SOURCE})
    target_link_libraries(fuzz_${name} PRIVATE ${FUZZ_LINKS})
    target_include_directories(fuzz_${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    tidewell_use_platform(fuzz_${name} posix)
    tidewell_warnings(fuzz_${name})
    add_executable(seeds_${name} ${FUZZ_SEEDS})
    target_link_libraries(seeds_${name} PRIVATE ${FUZZ_LINKS} tidewell_fuzz_seeds)
    target_include_directories(seeds_${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    tidewell_use_platform(seeds_${name} posix)
    tidewell_warnings(seeds_${name})
    if(FUZZ_DICTIONARY AND IS_ABSOLUTE ${FUZZ_DICTIONARY})
        set(dictionary ${FUZZ_DICTIONARY})
    elseif(FUZZ_DICTIONARY)
        set(dictionary ${CMAKE_CURRENT_SOURCE_DIR}/${FUZZ_DICTIONARY})
    else()
        set(dictionary -)
    endif()
    set_property(GLOBAL APPEND PROPERTY TIDEWELL_FUZZ_PLAN
                 "${name} ${FUZZ_BOUND} ${dictionary} ${ownSeeds}")
endfunction()

# tidewell_private_libyal(TARGET LIBRARY): links a libyal reading library
# (libesedb, libevtx) into TARGET as one private object. Debian's libyal
# libraries each export their own copies of libcdata, libfvalue and the
# rest, as libewf and libqcow export theirs: linked as shared libraries side
# by side, one's calls bind to another's older copies (seen to leak, and not
# safe). Its static library is linked instead, as one object in which only
# LIBRARY's own functions stay global (private_object.sh); it reads through
# libbfio, the one copy every image library's handles are made by.
function(tidewell_private_libyal target library)
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(${library}_PACKAGE REQUIRED ${library})
    pkg_check_modules(TIDEWELL_BFIO REQUIRED IMPORTED_TARGET libbfio)
    find_library(${library}_STATIC ${library}.a HINTS ${${library}_PACKAGE_LIBRARY_DIRS} REQUIRED)
    set(private ${CMAKE_CURRENT_BINARY_DIR}/${library}_private.o)
    add_custom_command(OUTPUT ${private}
        COMMAND ${CMAKE_COMMAND} -E env LD=${CMAKE_LINKER} NM=${CMAKE_NM} OBJCOPY=${CMAKE_OBJCOPY}
                sh ${PROJECT_SOURCE_DIR}/cmake/private_object.sh ${${library}_STATIC} ${library}_
                ${private}
        DEPENDS ${${library}_STATIC} ${PROJECT_SOURCE_DIR}/cmake/private_object.sh
        COMMENT "Making ${library}'s private object"
        VERBATIM)
    set_source_files_properties(${private} PROPERTIES EXTERNAL_OBJECT TRUE GENERATED TRUE)
    target_sources(${target} PRIVATE ${private})
    target_include_directories(${target} PRIVATE ${${library}_PACKAGE_INCLUDE_DIRS})
    target_link_libraries(${target} PRIVATE PkgConfig::TIDEWELL_BFIO)
endfunction()
