# Every layer is reached as "<folder>/<Header>.h", and only by the targets that link it: a
# layer's include root in the build folder holds nothing but a link to the layer's own sources.
# A header included across a layer the target does not link therefore fails to build.

# Exposes the whole source folder `folder` (for example "engine" or "skin") to users of `target`.
function(pestrel_expose_folder target folder)
    set(root ${CMAKE_BINARY_DIR}/include/${folder})
    get_filename_component(parent ${root}/${folder} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
        target_include_directories(${target} INTERFACE ${root})
    else()
        target_include_directories(${target} PUBLIC ${root})
    endif()
endfunction()

# Exposes single headers of `folder` only, so that a folder holding further layers (platform/
# with its backends) does not open them all.
function(pestrel_expose_headers target folder)
    set(root ${CMAKE_BINARY_DIR}/include/${folder}-headers)
    file(MAKE_DIRECTORY ${root}/${folder})
    foreach(header ${ARGN})
        file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder}/${header} ${root}/${folder}/${header}
             SYMBOLIC)
    endforeach()
    target_include_directories(${target} INTERFACE ${root})
endfunction()
