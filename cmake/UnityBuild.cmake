# The project's sources are compiled in batches of several to a file (CMake's unity builds):
# parsing the framework's headers takes most of the time of compiling any one of them, and a batch
# parses them once (a fifth of the processor time for the engine's library, measured here).
# The framework's own sources and JUCE's plug-in clients are compiled one by one, as JUCE writes
# them; so are the sources that include X11's or Windows' headers themselves, whose macros
# (KeyPress, None, Bool, min ...) must never meet the framework's names in one batch, and the one
# that asks the framework for its X11 declarations.
set(CMAKE_UNITY_BUILD ON)
set(CMAKE_UNITY_BUILD_BATCH_SIZE 12)

set(corvadel_unity_skip_pattern "<X11/|<windows\\.h>|JUCE_GUI_BASICS_INCLUDE_XHEADERS")

# The folder and every folder added below it.
function(corvadel_directories_below directory out_var)
  set(directories ${directory})
  get_property(subdirectories DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
  foreach(subdirectory IN LISTS subdirectories)
    corvadel_directories_below(${subdirectory} below)
    list(APPEND directories ${below})
  endforeach()
  set(${out_var} ${directories} PARENT_SCOPE)
endfunction()

# Called at the end of the top folder, once every target exists: every project target's X11
# and Windows sources are left out of its batches.
function(corvadel_leave_native_sources_out_of_batches)
  corvadel_directories_below(${PROJECT_SOURCE_DIR} directories)
  foreach(directory IN LISTS directories)
    get_property(targets DIRECTORY ${directory} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
      get_target_property(unity ${target} UNITY_BUILD)
      get_target_property(sources ${target} SOURCES)
      if(NOT unity OR NOT sources)
        continue()
      endif()
      get_target_property(source_dir ${target} SOURCE_DIR)
      foreach(source IN LISTS sources)
        get_filename_component(path "${source}" ABSOLUTE BASE_DIR "${source_dir}")
        if(NOT path MATCHES "\\.(cpp|cc)$" OR NOT EXISTS "${path}")
          continue()
        endif()
        file(READ "${path}" text)
        if(text MATCHES "${corvadel_unity_skip_pattern}")
          set_source_files_properties("${path}" TARGET_DIRECTORY ${target} PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
        endif()
      endforeach()
    endforeach()
  endforeach()
endfunction()
