# Fails the build of the core library when one of its files includes a Qt
# Widgets header. Not linking Widgets is not enough on its own: the Qt include
# root is on the path, so <QtWidgets/QLabel> would still compile.

set(_VARNOLA_GUARD_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/check_no_widgets.cmake)

function(varnola_guard_core_against_widgets target)
  get_target_property(_sources ${target} SOURCES)
  get_target_property(_srcdir ${target} SOURCE_DIR)
  set(_files "")
  foreach(_s IN LISTS _sources)
    cmake_path(ABSOLUTE_PATH _s BASE_DIRECTORY ${_srcdir} OUTPUT_VARIABLE _abs)
    list(APPEND _files ${_abs})
  endforeach()
  get_target_property(_widgets_includes Qt6::Widgets INTERFACE_INCLUDE_DIRECTORIES)
  set(_widgets_dir "")
  foreach(_d IN LISTS _widgets_includes)
    if(_d MATCHES "QtWidgets$")
      set(_widgets_dir ${_d})
    endif()
  endforeach()
  set(_stamp ${CMAKE_CURRENT_BINARY_DIR}/${target}_no_widgets.stamp)
  string(REPLACE ";" "|" _file_arg "${_files}")
  add_custom_command(
    OUTPUT ${_stamp}
    COMMAND ${CMAKE_COMMAND} "-DFILES=${_file_arg}" -DWIDGETS_DIR=${_widgets_dir}
            -P ${_VARNOLA_GUARD_SCRIPT}
    COMMAND ${CMAKE_COMMAND} -E touch ${_stamp}
    DEPENDS ${_files} ${_VARNOLA_GUARD_SCRIPT}
    COMMENT "Checking that ${target} includes no Qt Widgets header"
    VERBATIM)
  add_custom_target(${target}_no_widgets DEPENDS ${_stamp})
  add_dependencies(${target} ${target}_no_widgets)
  set(VARNOLA_GUARD_SCRIPT ${_VARNOLA_GUARD_SCRIPT} PARENT_SCOPE)
  set(VARNOLA_WIDGETS_DIR ${_widgets_dir} PARENT_SCOPE)
endfunction()
