# The platform half of the front end: real program starts, the pictures, the FLTK backend and the
# ostrel program itself. Included at the end of ostrel/CMakeLists.txt.
add_library(ostrel_program_start STATIC ${CMAKE_CURRENT_LIST_DIR}/forms/program_start.cpp)
target_include_directories(ostrel_program_start PUBLIC ${CMAKE_SOURCE_DIR})

# FLTK 1.3 from Debian's libfltk1.3-dev (scripts/setup installs it). Its headers are not ours to
# keep free of warnings.
find_path(FLTK_HEADERS FL/Fl.H REQUIRED)
find_library(FLTK_LIBRARY fltk REQUIRED)
find_package(X11 REQUIRED)

add_library(ostrel_fltk STATIC
  ${CMAKE_CURRENT_LIST_DIR}/forms/fltk/fltk_backend.cpp
  ${CMAKE_CURRENT_LIST_DIR}/forms/fltk/captions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/forms/fltk/file_dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/forms/fltk/pictures.cpp
  ${CMAKE_CURRENT_LIST_DIR}/forms/fltk/window_hints.cpp
)
target_include_directories(ostrel_fltk SYSTEM PUBLIC ${FLTK_HEADERS} ${X11_INCLUDE_DIR})
target_link_libraries(ostrel_fltk PUBLIC ostrel_forms ${FLTK_LIBRARY} ${X11_LIBRARIES})

add_executable(ostrel ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(ostrel PRIVATE ostrel_fltk ostrel_program_start)
