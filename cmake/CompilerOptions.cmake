# Project-wide compiler settings shared by every target.
add_compile_options(-Wall -Wextra)
if(ZANDREL_WARNINGS_AS_ERRORS)
    add_compile_options(-Werror)
endif()
if(ZANDREL_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()
if(ZANDREL_TSAN)
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
endif()


# A folder's library takes every .cpp of the folder (and of the named platform
# variant subfolder), so adding a class never means editing a source list. LAYER places it
# among the others, lowest 0: it may link and include only libraries of lower layers, which
# the layering check reads from library-layers.txt in the build folder.
function(zandrel_folder_library name folder)
    cmake_parse_arguments(ARG "" "VARIANT;EXCLUDE;LAYER" "PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
    if(NOT ARG_LAYER MATCHES "^[0-9]+$")
        message(FATAL_ERROR "library ${name} needs a LAYER")
    endif()
    file(RELATIVE_PATH relative_folder ${PROJECT_SOURCE_DIR} ${folder})
    # A file the library leaves out (the folder's executable) is named so the check skips it too.
    set_property(GLOBAL APPEND PROPERTY ZANDREL_LIBRARY_LAYERS
        "${name} ${ARG_LAYER} ${relative_folder} ${ARG_EXCLUDE}")
    if(ARG_VARIANT)
        set_property(GLOBAL APPEND PROPERTY ZANDREL_LIBRARY_LAYERS
            "${name} ${ARG_LAYER} ${relative_folder}/${ARG_VARIANT}")
    endif()
    file(GLOB sources CONFIGURE_DEPENDS ${folder}/*.cpp)
    if(ARG_VARIANT)
        file(GLOB variant_sources CONFIGURE_DEPENDS ${folder}/${ARG_VARIANT}/*.cpp)
        list(APPEND sources ${variant_sources})
    endif()
    if(ARG_EXCLUDE)
        list(FILTER sources EXCLUDE REGEX "${ARG_EXCLUDE}")
    endif()
    if(NOT sources)
        # A folder whose classes have not been written yet stays a header-only target.
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
        target_link_libraries(${name} INTERFACE ${ARG_PUBLIC_LIBS})
        return()
    endif()
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_LIBS} PRIVATE ${ARG_PRIVATE_LIBS})
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
endfunction()

# One line per library folder, "name layer folder [excluded-files-regex]", for tests/check-layering.sh.
function(zandrel_write_library_layers)
    get_property(rows GLOBAL PROPERTY ZANDREL_LIBRARY_LAYERS)
    list(JOIN rows "\n" text)
    file(WRITE ${CMAKE_BINARY_DIR}/library-layers.txt "${text}\n")
endfunction()
