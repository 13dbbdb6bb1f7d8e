# platine_library(<target> SOURCES <files...> LINK <libraries...>)
# A static library made of files of the current folder. Its headers are included as
# "<folder>/Name.h". The include path a target passes on holds its own folder alone (a link to it
# in the build tree), so a file sees only its own folder and the folders of the libraries it links:
# nothing can include a header of a folder above it, and a logic library that does not link
# Qt Widgets cannot include a window's header.
function(platine_library target)
  cmake_parse_arguments(arg "" "" "SOURCES;LINK" ${ARGN})
  get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  set(root ${PROJECT_BINARY_DIR}/include/${folder})
  if(NOT EXISTS ${root}/${folder})
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${folder} SYMBOLIC)
  endif()
  add_library(${target} STATIC ${arg_SOURCES})
  target_include_directories(${target} PUBLIC ${root})
  target_link_libraries(${target} PUBLIC ${arg_LINK})
endfunction()

# platine_tests(<folder> <libraries...>)
# Every tests/<folder>/tst_*.cpp is one Qt Test executable and one CTest test. Other .cpp and .h
# files of that folder are helpers of its tests, built into each of them. The helpers shared by
# every folder live in tests/support/ (.h and .cpp, built into every test) and are included as
# "support/Name.h", a name no folder of the program takes. The tests named in
# PLATINE_TESTS_LEFT_OUT are not built.
function(platine_tests folder)
  file(GLOB tests CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/${folder}/tst_*.cpp)
  file(GLOB helpers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/${folder}/*.cpp
       ${PROJECT_SOURCE_DIR}/tests/${folder}/*.h ${PROJECT_SOURCE_DIR}/tests/support/*.cpp
       ${PROJECT_SOURCE_DIR}/tests/support/*.h)
  list(FILTER helpers EXCLUDE REGEX "/tst_[^/]*\\.cpp$")
  foreach(test ${tests})
    get_filename_component(name ${test} NAME_WE)
    if(name IN_LIST PLATINE_TESTS_LEFT_OUT)
      continue()
    endif()
    add_executable(${name} ${test} ${helpers})
    target_link_libraries(${name} PRIVATE ${ARGN} Qt6::Test)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    target_compile_definitions(${name} PRIVATE
        PLATINE_SOURCE_DIR="${PROJECT_SOURCE_DIR}" PLATINE_BINARY_DIR="${PROJECT_BINARY_DIR}")
    add_test(NAME ${folder}/${name} COMMAND ${name})
    set_tests_properties(${folder}/${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8" TIMEOUT 120)
  endforeach()
endfunction()
