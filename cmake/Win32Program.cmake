# The Windows program, its Win32 tests and the development stand-ins.

set(VANTREL_WIN_LINK -static -static-libgcc -static-libstdc++
    -Wl,--dynamicbase -Wl,--nxcompat -Wl,--high-entropy-va)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(VANTREL_WIN_LINK -static -static-libgcc -static-libstdc++
      -Wl,--dynamicbase -Wl,--nxcompat -Wl,--large-address-aware)
endif()
set(VANTREL_WIN_DEFS UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)

set(VANTREL_WIN_SOURCES ${VANTREL_ALL_SOURCES})
list(FILTER VANTREL_WIN_SOURCES INCLUDE REGEX "(_win\\.cpp$|/platform/win32/)")
list(FILTER VANTREL_WIN_SOURCES EXCLUDE REGEX "/app/WinMain_win\\.cpp$")
add_library(vantrel_win32 STATIC ${VANTREL_WIN_SOURCES})
target_link_libraries(vantrel_win32 PUBLIC vantrel_core user32 gdi32 shell32 advapi32 comctl32 kernel32)
target_compile_definitions(vantrel_win32 PUBLIC ${VANTREL_WIN_DEFS})
target_compile_options(vantrel_win32 PRIVATE ${VANTREL_WARNINGS})
target_compile_definitions(vantrel_core PUBLIC ${VANTREL_WIN_DEFS})

file(GLOB VANTREL_RESOURCES CONFIGURE_DEPENDS src/resources/*.rc)
if(EXISTS ${CMAKE_SOURCE_DIR}/src/app/WinMain_win.cpp)
  add_executable(vantrel WIN32 src/app/WinMain_win.cpp ${VANTREL_RESOURCES})
  target_link_libraries(vantrel PRIVATE vantrel_win32)
  target_link_options(vantrel PRIVATE ${VANTREL_WIN_LINK})
  target_compile_options(vantrel PRIVATE ${VANTREL_WARNINGS})
endif()

if(VANTREL_TESTS)
  file(GLOB VANTREL_WIN32_TESTS CONFIGURE_DEPENDS tests/win32/*.cpp)
  add_executable(vantrel_win32_tests ${VANTREL_WIN32_TESTS})
  target_link_libraries(vantrel_win32_tests PRIVATE vantrel_win32 vantrel_fake GTest::gtest_main GTest::gmock)
  target_link_options(vantrel_win32_tests PRIVATE ${VANTREL_WIN_LINK})
  target_compile_options(vantrel_win32_tests PRIVATE ${VANTREL_WARNINGS})
endif()

# Stand-ins and reference programs for development, demonstration and benchmarks.
file(GLOB VANTREL_TOOL_DIRS LIST_DIRECTORIES true CONFIGURE_DEPENDS tools/*)
foreach(dir ${VANTREL_TOOL_DIRS})
  if(IS_DIRECTORY ${dir} AND EXISTS ${dir}/CMakeLists.txt)
    add_subdirectory(${dir})
  endif()
endforeach()
