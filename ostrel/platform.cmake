# The platform half of the front end: real program starts, the pictures, the FLTK backend and the
# ostrel program itself. Included at the end of ostrel/CMakeLists.txt.
add_library(ostrel_program_start STATIC ${CMAKE_CURRENT_LIST_DIR}/forms/program_start.cpp)
target_include_directories(ostrel_program_start PUBLIC ${CMAKE_SOURCE_DIR})
