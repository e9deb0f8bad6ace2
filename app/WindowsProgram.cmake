# pestrel.exe opens the window without a console (a GUI-subsystem program); its console twin
# pestrel.com is the same program for cmd.exe, which finds .com before .exe, waits for a console
# program and takes its exit status. Both are single static files: the Qt platform plugins are
# linked in, the icon and the version are resources.

# The shield of resources/icons at every size, as one icon file with PNG images.
set(PESTREL_ICON_SIZES 16 24 32 48 64 128 256)
list(TRANSFORM PESTREL_ICON_SIZES PREPEND ${CMAKE_SOURCE_DIR}/resources/icons/ OUTPUT_VARIABLE
     PESTREL_ICON_IMAGES)
list(TRANSFORM PESTREL_ICON_IMAGES APPEND .png)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/pestrel.ico
    COMMAND python3 ${CMAKE_SOURCE_DIR}/packaging/windows/make-ico.py
            ${CMAKE_BINARY_DIR}/pestrel.ico ${PESTREL_ICON_IMAGES}
    DEPENDS ${CMAKE_SOURCE_DIR}/packaging/windows/make-ico.py ${PESTREL_ICON_IMAGES} VERBATIM)

# A Windows program of the project in the build folder's top: the platform plugins linked in,
# stripped, with the icon and a version resource naming `file` and its `description`.
function(pestrel_windows_program target description file)
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
    target_link_options(${target} PRIVATE -s)
    qt_import_plugins(${target} INCLUDE Qt6::QWindowsIntegrationPlugin
                      Qt6::QOffscreenIntegrationPlugin Qt6::QMinimalIntegrationPlugin)
    set(PESTREL_ICON ${CMAKE_BINARY_DIR}/pestrel.ico)
    set(PESTREL_RC_DESCRIPTION ${description})
    set(PESTREL_RC_FILE ${file})
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${file}.rc)
    configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/version.rc.in ${rc} @ONLY)
    set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${PESTREL_ICON})
    target_sources(${target} PRIVATE ${rc})
endfunction()

target_sources(pestrel PRIVATE StandInFace.cpp)
target_link_libraries(pestrel PRIVATE pestrel_cli pestrel_ui pestrel_platform_win32)
set_target_properties(pestrel PROPERTIES WIN32_EXECUTABLE ON)
pestrel_windows_program(pestrel "Pestrel" pestrel.exe)
# The stand-in Chinese face and its licence, beside the program as the setup installs them.
add_custom_command(TARGET pestrel POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/fonts
    COMMAND ${CMAKE_COMMAND} -E copy_if_different /usr/share/fonts/truetype/wqy/wqy-microhei.ttc
            ${CMAKE_BINARY_DIR}/fonts/
    COMMAND ${CMAKE_COMMAND} -E copy_if_different /usr/share/doc/fonts-wqy-microhei/copyright
            ${CMAKE_BINARY_DIR}/fonts/wqy-microhei-copyright.txt)

add_executable(pestrel_console main.cpp StandInFace.cpp)
target_link_libraries(pestrel_console PRIVATE pestrel_cli pestrel_ui pestrel_platform_win32)
target_compile_definitions(pestrel_console PRIVATE PESTREL_VERSION="${PROJECT_VERSION}")
set_target_properties(pestrel_console PROPERTIES OUTPUT_NAME pestrel SUFFIX .com)
pestrel_windows_program(pestrel_console "Pestrel (console)" pestrel.com)
