# Helpers for the deliverables of the Windows build.
#
# zeb_add_display_program(<Program>
#     SOURCES <main block...>
#     LOGIC <library> LOGIC_SOURCES <sources...> [LINK <libraries...>]
#     [RESOURCES <.rc files...>] [RESOURCE_DEPENDS <files the resources carry...>])
# A display program: <Program>.exe in bin/, a GUI program with the wide-character entry point
# (wWinMain), shipped without debug sections (Wine reads the whole image into private memory). All
# but its main block is the static library LOGIC (include folder src/, LINK linked publicly), so that
# tests drive the program's forms in-process. The resource files are named in <PROGRAM>_RESOURCES
# (upper case, a cache entry) for tests that need the program's pictures; a change to one of the
# RESOURCE_DEPENDS compiles them again.
#
# zeb_add_scene_library(<Module> DEF <file.def> SOURCES <sources...>
#     [RESOURCES <.rc files...>] [LIBS <libraries...>] [OUTPUT_DIRECTORY <folder>])
# A scene library: <Module>.dll (no "lib" prefix) in bin/ or OUTPUT_DIRECTORY, without debug
# sections, exporting what the .def lists under its plain names at its ordinals ("SceneCreate @7").
# --enable-stdcall-fixup ties each plain name to its stdcall symbol (_SceneCreate@0 on 32-bit)
# without a warning. The CTest entry <Module>_exports compares the built export table with the .def
# (scripts/check-exports): the library of this tree and, from a 64-bit test tree, the 32-bit one in
# ZEB_WIN32_BINARY_DIR, where stdcall names would be decorated. The entry <Module>_stack reads the
# same files' code: every return of each export of src/scenes/ZebScene.h removes the argument bytes
# its declaration gives (scripts/check-stack; 32-bit images only).

set(ZEB_WIN32_BINARY_DIR "" CACHE PATH
    "The 32-bit Windows build tree whose deliverables the checks of a 64-bit test tree also read")
# Where the 32-bit deliverables lie: this tree's bin/, or the 32-bit tree's beside a 64-bit test tree.
if(ZEB_WIN32_BINARY_DIR)
  set(ZEB_DELIVERABLES_DIR ${ZEB_WIN32_BINARY_DIR}/bin)
else()
  set(ZEB_DELIVERABLES_DIR ${CMAKE_BINARY_DIR}/bin)
endif()

function(zeb_add_display_program name)
  cmake_parse_arguments(P "" "LOGIC" "SOURCES;LOGIC_SOURCES;LINK;RESOURCES;RESOURCE_DEPENDS" ${ARGN})
  add_library(${P_LOGIC} STATIC ${P_LOGIC_SOURCES})
  target_include_directories(${P_LOGIC} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${P_LOGIC} PUBLIC ${P_LINK})

  set(resources)
  foreach(rc ${P_RESOURCES})
    get_filename_component(rc ${rc} ABSOLUTE)
    list(APPEND resources ${rc})
  endforeach()
  if(resources AND P_RESOURCE_DEPENDS)
    set_source_files_properties(${resources} PROPERTIES OBJECT_DEPENDS "${P_RESOURCE_DEPENDS}")
  endif()
  string(TOUPPER ${name} upper)
  set(${upper}_RESOURCES ${resources} CACHE INTERNAL "")

  add_executable(${name} WIN32 ${P_SOURCES} ${resources})
  target_link_libraries(${name} PRIVATE ${P_LOGIC})
  target_link_options(${name} PRIVATE -municode -s)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
endfunction()

function(zeb_add_scene_library name)
  cmake_parse_arguments(S "" "DEF;OUTPUT_DIRECTORY" "SOURCES;RESOURCES;LIBS" ${ARGN})
  if(NOT S_OUTPUT_DIRECTORY)
    set(S_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  endif()
  get_filename_component(def ${S_DEF} ABSOLUTE)
  add_library(${name} SHARED ${S_SOURCES} ${S_RESOURCES} ${def})
  target_link_libraries(${name} PRIVATE ${S_LIBS})
  target_link_options(${name} PRIVATE -Wl,--enable-stdcall-fixup -s)
  # A DLL is a runtime file on Windows (its import library stays in the build folder).
  set_target_properties(${name} PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${S_OUTPUT_DIRECTORY})

  set(files $<TARGET_FILE:${name}>)
  if(ZEB_WIN32_BINARY_DIR AND NOT ZEB_WIN32_BINARY_DIR STREQUAL CMAKE_BINARY_DIR)
    file(RELATIVE_PATH rel ${CMAKE_BINARY_DIR} ${S_OUTPUT_DIRECTORY}/${name}.dll)
    list(APPEND files ${ZEB_WIN32_BINARY_DIR}/${rel})
  endif()
  add_test(NAME ${name}_exports COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/check-exports ${def} ${files})
  add_test(NAME ${name}_stack
           COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/check-stack ${PROJECT_SOURCE_DIR}/src/scenes/ZebScene.h ${files})
  set_tests_properties(${name}_exports ${name}_stack PROPERTIES TIMEOUT 60)
endfunction()
