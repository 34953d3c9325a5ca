# Every target built with AUTOMOC gets a mocs_compilation.cpp. In the
# programs that borrow a library's precompiled header it is empty, as their
# sources include their own moc output, yet compiled with the header it still
# loads it: about a second apiece, two for the window headers, over some fifty
# programs. Those compile without it. The libraries keep it: the window
# library's file holds the moc output of its headers.
function(varnola_moc_without_pch dir)
  get_property(_targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(_t IN LISTS _targets)
    get_target_property(_automoc ${_t} AUTOMOC)
    get_target_property(_reuse ${_t} PRECOMPILE_HEADERS_REUSE_FROM)
    if(_automoc AND _reuse)
      get_target_property(_bin ${_t} BINARY_DIR)
      set_source_files_properties(${_bin}/${_t}_autogen/mocs_compilation.cpp TARGET_DIRECTORY ${_t}
                                  PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
    endif()
  endforeach()
  get_property(_subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(_d IN LISTS _subdirs)
    varnola_moc_without_pch(${_d})
  endforeach()
endfunction()
