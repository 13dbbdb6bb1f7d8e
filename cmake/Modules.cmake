# platine_module(<target> <folder> <deps...>)
# A static library made of every .cpp/.h in <folder> (files named main*.cpp are left to executables).
function(platine_module target folder)
  file(GLOB sources CONFIGURE_DEPENDS
       ${PROJECT_SOURCE_DIR}/${folder}/*.cpp ${PROJECT_SOURCE_DIR}/${folder}/*.h
       ${PROJECT_SOURCE_DIR}/${folder}/*.qrc)
  list(FILTER sources EXCLUDE REGEX "/main[^/]*\\.cpp$")
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${ARGN})
endfunction()

# platine_tests(<folder> <libs...>)
# Every tests/<folder>/tst_*.cpp is one Qt Test executable and one CTest test. Other .cpp files
# in that folder are shared helpers linked into each of them.
function(platine_tests folder)
  file(GLOB tests CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/${folder}/tst_*.cpp)
  file(GLOB helpers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/${folder}/*.cpp
       ${PROJECT_SOURCE_DIR}/tests/${folder}/*.h ${PROJECT_SOURCE_DIR}/tests/common/*.cpp
       ${PROJECT_SOURCE_DIR}/tests/common/*.h)
  list(FILTER helpers EXCLUDE REGEX "/tst_[^/]*\\.cpp$")
  foreach(test ${tests})
    get_filename_component(name ${test} NAME_WE)
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
