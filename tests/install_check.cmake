# Installs the build into a fresh prefix and compares the files installed
# with the list a desktop expects; the installed program tells its version.
# Run with -DBUILD=<build folder> -DPREFIX=<empty folder> -DVERSION=<x.y.z>.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD}" --prefix "${PREFIX}"
                RESULT_VARIABLE failed OUTPUT_QUIET)
if(failed)
  message(FATAL_ERROR "cmake --install failed: ${failed}")
endif()
file(GLOB_RECURSE installed RELATIVE "${PREFIX}" "${PREFIX}/*")
list(SORT installed)
set(expected
  bin/dipdigitizer
  bin/dipdigitizer-batch
  share/applications/dipdigitizer.desktop
  share/icons/hicolor/scalable/apps/dipdigitizer.svg)
if(NOT installed STREQUAL expected)
  message(FATAL_ERROR "installed:\n  ${installed}\nexpected:\n  ${expected}")
endif()
file(READ "${PREFIX}/share/applications/dipdigitizer.desktop" entry)
foreach(line "Exec=dipdigitizer %f" "Icon=dipdigitizer" "Type=Application")
  string(FIND "${entry}" "${line}\n" at)
  if(at LESS 0)
    message(FATAL_ERROR "the desktop entry lacks ${line}")
  endif()
endforeach()
execute_process(COMMAND "${PREFIX}/bin/dipdigitizer" --version OUTPUT_VARIABLE said RESULT_VARIABLE failed)
if(failed OR NOT said STREQUAL "dipdigitizer ${VERSION}\n")
  message(FATAL_ERROR "dipdigitizer --version said \"${said}\" (${failed})")
endif()
# Without a display, as a cluster's node runs it.
execute_process(COMMAND env -u DISPLAY -u QT_QPA_PLATFORM "${PREFIX}/bin/dipdigitizer-batch" --version
                OUTPUT_VARIABLE said RESULT_VARIABLE failed)
if(failed OR NOT said STREQUAL "dipdigitizer-batch ${VERSION}\n")
  message(FATAL_ERROR "dipdigitizer-batch --version said \"${said}\" (${failed})")
endif()
message(STATUS "installed: ${installed}")
