# The Windows build (`make windows`, configured with cmake/mingw-w64-x86_64.cmake): the same core
# with the Win32 window layer, as gravity.exe and the measuring gravity_stats.exe, each statically
# linked; a zip of the program with its README and licence; and an installer made by NSIS.
# Everything lands in GRAVITY_WINDOWS_OUTPUT. Included by CMakeLists.txt, which stops after it.
set(GRAVITY_WINDOWS_OUTPUT ${CMAKE_BINARY_DIR}/dist CACHE PATH "Where the .exe files, zip and installer go")
find_package(Python3 REQUIRED COMPONENTS Interpreter)
find_program(MAKENSIS makensis REQUIRED)
set(out ${GRAVITY_WINDOWS_OUTPUT})
set(src ${CMAKE_CURRENT_SOURCE_DIR})
set(bin ${CMAKE_CURRENT_BINARY_DIR})

# The icon, packed from the PNGs installed on Linux desktops, and the resources that carry it.
# windres runs on its own: the compiler options of the C++ sources mean nothing to it.
set(icon_pngs)
foreach(size 16 24 32 48 64 128 256)
  list(APPEND icon_pngs ${src}/packaging/icons/${size}.png)
endforeach()
set(GRAVITY_ICON ${bin}/gravity.ico)
set(GRAVITY_MANIFEST ${bin}/gravity.exe.manifest)
configure_file(packaging/windows/gravity.exe.manifest.in ${GRAVITY_MANIFEST} @ONLY)
add_custom_command(OUTPUT ${GRAVITY_ICON}
  COMMAND Python3::Interpreter ${src}/scripts/windows-icon.py ${GRAVITY_ICON} ${icon_pngs}
  DEPENDS ${src}/scripts/windows-icon.py ${icon_pngs})
configure_file(packaging/windows/gravity.rc.in gravity.rc @ONLY)
add_custom_command(OUTPUT ${bin}/gravity_resources.o
  COMMAND ${CMAKE_RC_COMPILER} -O coff -i ${bin}/gravity.rc -o ${bin}/gravity_resources.o
  DEPENDS ${bin}/gravity.rc ${GRAVITY_ICON} ${GRAVITY_MANIFEST})

# The window layer: the window and its presenting, the clock, the waits and the messages.
add_library(gravity_windows OBJECT platform/windows/window.cpp platform/windows/events.cpp)
target_link_libraries(gravity_windows PUBLIC gravity_host gravity_keys winmm)
target_compile_definitions(gravity_windows PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                                                  _WIN32_WINNT=0x0A00)
gravity_warnings(gravity_windows)

# The program has no console; the measuring build is a console program, so its counts reach the
# shell that started it. The linker would stamp the time of the build into the header; without it
# the same commit links the same bytes.
foreach(name gravity gravity_stats)
  add_executable(${name} app/windows_main.cpp ${bin}/gravity_resources.o)
  target_link_libraries(${name} PRIVATE gravity_windows)
  target_link_options(${name} PRIVATE -static -s -Wl,--no-insert-timestamp)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${out})
  gravity_warnings(${name})
endforeach()
target_link_options(gravity PRIVATE -mwindows)
target_link_options(gravity_stats PRIVATE -mconsole)
target_compile_definitions(gravity_stats PRIVATE GRAVITY_STATS)

# The zip: the program, the README and the licence in one folder, zipped with fixed times and modes.
# Its times are SOURCE_DATE_EPOCH, so a new commit's time makes it again, as it does the installer.
set(stem gravity-${PROJECT_VERSION}-windows-x64)
set(epoch ${bin}/source-date-epoch)
file(CONFIGURE OUTPUT ${epoch} CONTENT "$ENV{SOURCE_DATE_EPOCH}\n")
add_custom_command(OUTPUT ${out}/${stem}.zip
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${bin}/zip
  COMMAND ${CMAKE_COMMAND} -E make_directory ${bin}/zip/${stem}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:gravity> ${bin}/zip/${stem}/gravity.exe
  COMMAND ${CMAKE_COMMAND} -E copy ${src}/README.md ${bin}/zip/${stem}/README.md
  COMMAND ${CMAKE_COMMAND} -E copy ${src}/LICENSE ${bin}/zip/${stem}/LICENSE.txt
  COMMAND Python3::Interpreter ${src}/scripts/zip-folder.py ${out}/${stem}.zip ${bin}/zip
  DEPENDS gravity ${src}/README.md ${src}/LICENSE ${src}/scripts/zip-folder.py ${epoch})

# The installer: a 64-bit NSIS installer with a Start-menu entry and an uninstaller.
add_custom_command(OUTPUT ${out}/${stem}-setup.exe
  COMMAND ${MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DEXE=$<TARGET_FILE:gravity>
          -DREADME=${src}/README.md -DLICENSE=${src}/LICENSE -DICON=${GRAVITY_ICON}
          -DOUTFILE=${out}/${stem}-setup.exe ${src}/packaging/windows/gravity.nsi
  DEPENDS gravity ${GRAVITY_ICON} ${src}/packaging/windows/gravity.nsi ${src}/README.md ${src}/LICENSE
          ${epoch})
add_custom_target(windows_packages ALL DEPENDS ${out}/${stem}.zip ${out}/${stem}-setup.exe)

# The core's determinism check as built for Windows, run under Wine by the tests: it must print the
# state hash the same check prints when built for the desktop.
add_executable(core_determinism tests/determinism.cpp)
target_link_libraries(core_determinism PRIVATE gravity_core)
target_link_options(core_determinism PRIVATE -static -mconsole)
set_target_properties(core_determinism PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${out}/tests)
gravity_warnings(core_determinism)
