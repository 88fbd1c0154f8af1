# Every folder under src/ belongs to one library or executable, and includes are written
# from src/ ("paper/QuestionTable.h"). A library publishes only its own folders: each is
# reached through a directory of the build that holds just that folder, so a header of a
# library one does not link cannot even be found.
function(paper_publish_folder target folder)
  set(published "${CMAKE_BINARY_DIR}/published/${folder}")
  if(NOT EXISTS "${published}/${folder}")
    file(MAKE_DIRECTORY "${published}")
    file(CREATE_LINK "${PROJECT_SOURCE_DIR}/src/${folder}" "${published}/${folder}" SYMBOLIC)
  endif()
  target_include_directories(${target} PUBLIC "${published}")
endfunction()
