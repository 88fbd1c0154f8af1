# Fails when the core library links anything that draws windows.
string(REPLACE "+" ";" libs "${TARGET_LIBS}")
foreach(lib IN LISTS libs)
  if(lib MATCHES "Widgets|Gui")
    message(FATAL_ERROR "papercore links ${lib}; it must link Qt Core only")
  endif()
endforeach()
message(STATUS "papercore links only: ${libs}")
