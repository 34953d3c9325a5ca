# The receiver's windows. Included from this folder's CMakeLists.txt; the
# sources are named from this file's folder so the include works from anywhere.
foreach(window frmComSelect frmDisplayReceiver frmSetReceiver frmRelay)
  varnola_add_test(${window}_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/${window}_test.cpp GUI)
endforeach()
