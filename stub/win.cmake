# Windows build of the stub (included by stub/CMakeLists.txt in the cross build only).
#
#   stub_win   static library: every Win32 binding file stub/<area>/win/*.cpp except the
#              program entry. Windows test programs link `stub_win` + `stub_portable`.
#   pkgstub    the setup program: entry (core/win/WinMain.cpp) + stub_win + stub_portable
#              + resources (icon "MainIcon", VERSIONINFO, manifest). One PE32 GUI i386
#              file; zlib and the C/C++ run-times are linked statically, so it imports
#              system DLLs only.
#
#   keb_add_win_program(NAME SOURCES... [LIBS libs...] [CONSOLE])
#              a small Windows program for the wine tests, linked the same way
#              (statically, GUI subsystem unless CONSOLE). Output: <binary dir>/NAME.exe.

set(PKGSTUB_VERSION 1.0.0.1)
string(REPLACE "." "," PKGSTUB_VERSION_COMMAS ${PKGSTUB_VERSION})
set(PKGSTUB_VERSION_DOTS ${PKGSTUB_VERSION})

# System DLLs the binding uses (all ship with Windows).
set(KEB_WIN_SYSTEM_LIBS comctl32 gdi32 user32 kernel32 advapi32 shell32 version psapi)

function(keb_add_win_program name)
  cmake_parse_arguments(ARG "CONSOLE" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES} ${ARG_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} ${KEB_WIN_SYSTEM_LIBS})
  target_link_options(${name} PRIVATE -static)
  if(NOT ARG_CONSOLE)
    target_link_options(${name} PRIVATE -mwindows)
  endif()
endfunction()

# zlib from Debian's mingw package, the static archive (never zlib1.dll).
set(KEB_MINGW_STATIC_ZLIB ${CMAKE_FIND_ROOT_PATH}/lib/libz.a)
if(TARGET ZLIB::ZLIB AND EXISTS ${KEB_MINGW_STATIC_ZLIB})
  set_property(TARGET ZLIB::ZLIB PROPERTY IMPORTED_CONFIGURATIONS "")
  foreach(cfg "" _RELEASE _DEBUG _RELWITHDEBINFO _MINSIZEREL)
    set_property(TARGET ZLIB::ZLIB PROPERTY IMPORTED_LOCATION${cfg} ${KEB_MINGW_STATIC_ZLIB})
  endforeach()
endif()

file(GLOB stub_win_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*/win/*.cpp)
list(FILTER stub_win_sources EXCLUDE REGEX "/core/win/WinMain\\.cpp$")

add_library(stub_win STATIC ${stub_win_sources})
target_include_directories(stub_win PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_definitions(stub_win PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
if(TARGET stub_portable)
  target_link_libraries(stub_win PUBLIC stub_portable)
endif()
target_link_libraries(stub_win PUBLIC ${KEB_WIN_SYSTEM_LIBS})

# Resources: the icon is generated, the rest configured from templates.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(PKGSTUB_ICON ${CMAKE_CURRENT_BINARY_DIR}/pkgstub.ico)
set(PKGSTUB_MANIFEST ${CMAKE_CURRENT_BINARY_DIR}/pkgstub.manifest)
add_custom_command(OUTPUT ${PKGSTUB_ICON}
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/res/make_icon.py ${PKGSTUB_ICON}
  DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/res/make_icon.py
  COMMENT "Generating the stub icon")
configure_file(res/pkgstub.manifest ${PKGSTUB_MANIFEST} @ONLY)
configure_file(res/pkgstub.rc.in ${CMAKE_CURRENT_BINARY_DIR}/pkgstub.rc @ONLY)
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/pkgstub.rc PROPERTIES
  OBJECT_DEPENDS "${PKGSTUB_ICON};${PKGSTUB_MANIFEST}")

keb_add_win_program(pkgstub
  SOURCES core/win/WinMain.cpp ${CMAKE_CURRENT_BINARY_DIR}/pkgstub.rc ${PKGSTUB_ICON}
  LIBS stub_win)
# A setup program ships without debug symbols.
target_link_options(pkgstub PRIVATE -s)
# The package's end pointer needs offsets 248-255 of the DOS header: the PE header goes
# to offset 256 right after linking.
add_custom_command(TARGET pkgstub POST_BUILD
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/res/place_pe_header.py $<TARGET_FILE:pkgstub>
  VERBATIM)
target_compile_definitions(pkgstub PRIVATE PKGSTUB_VERSION="${PKGSTUB_VERSION}")
