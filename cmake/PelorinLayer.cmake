# One folder of src/, one layer: its plain C++ sources form the target <name>; the files named
# after WINDOW (the folder's part of the window) form <name>_window, the only kind of target that
# links Qt Widgets. DEPENDS names the layers the folder may use; a test reads the includes and
# holds every file to the same rule.
function(pelorin_layer name)
    cmake_parse_arguments(L "" "" "WINDOW;DEPENDS;WINDOW_DEPENDS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp
         ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    set(window)
    foreach(f ${L_WINDOW})
        list(APPEND window ${CMAKE_CURRENT_SOURCE_DIR}/${f})
    endforeach()
    if(window)
        list(REMOVE_ITEM sources ${window})
    endif()
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${L_DEPENDS})
    target_compile_options(${name} PRIVATE ${PELORIN_WARNINGS})
    if(window AND PELORIN_BUILD_GUI)
        add_library(${name}_window STATIC ${window})
        set_target_properties(${name}_window PROPERTIES AUTOMOC ON)
        target_link_libraries(${name}_window PUBLIC ${name} pelorin_ui ${L_WINDOW_DEPENDS})
        target_compile_options(${name}_window PRIVATE ${PELORIN_WARNINGS})
    endif()
endfunction()
