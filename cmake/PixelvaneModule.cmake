# pixelvane_module(<name> [DEPS <targets>...])
# One static library per subsystem folder, built from every .cpp in it, so that work in one
# subsystem never has to touch the build files of another. Includes are relative to src/.
function(pixelvane_module name)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
    add_library(pv_${name} STATIC ${sources} "${PROJECT_SOURCE_DIR}/cmake/empty.cpp")
    target_include_directories(pv_${name} PUBLIC "${PROJECT_SOURCE_DIR}/src")
    target_link_libraries(pv_${name} PUBLIC ${ARG_DEPS})
endfunction()

# pixelvane_tests(<name> [DEPS <targets>...])
# One test program per subsystem from tests/<name>/*_test.cpp, discovered by CTest.
function(pixelvane_tests name)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${name}/*_test.cpp")
    if(NOT sources)
        return()
    endif()
    add_executable(${name}_tests ${sources})
    target_link_libraries(${name}_tests PRIVATE pv_test_support ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
    gtest_discover_tests(${name}_tests DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
