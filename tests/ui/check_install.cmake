# Installs the build into a scratch prefix and checks that a Linux desktop
# finds the program: command on the search path, help file beside the real
# executable, desktop entry and icons in the icon theme, the batch program,
# manual pages, AppStream metadata and the MIME definition.
#   cmake -DBUILD_DIR=... -DPREFIX=... -P check_install.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

function(expect_file path)
    if(NOT EXISTS "${PREFIX}/${path}")
        message(FATAL_ERROR "not installed: ${path}")
    endif()
endfunction()

expect_file(bin/ostrel2)
file(REAL_PATH "${PREFIX}/bin/ostrel2" program)
get_filename_component(program_dir "${program}" DIRECTORY)
if(NOT EXISTS "${program_dir}/Ostrel2.HLP")
    message(FATAL_ERROR "the help file is not beside ${program}")
endif()
foreach(size 48x48 64x64 128x128 256x256)
    expect_file(share/icons/hicolor/${size}/apps/ostrel2.png)
endforeach()
expect_file(bin/ostrel2-report)
expect_file(share/man/man1/ostrel2.1.gz)
expect_file(share/man/man1/ostrel2-report.1.gz)
expect_file(share/mime/packages/ostrel2.xml)
expect_file(share/metainfo/${APP_ID}.metainfo.xml)
expect_file(share/applications/${APP_ID}.desktop)
file(STRINGS "${PREFIX}/share/applications/${APP_ID}.desktop" entry)
foreach(line "[Desktop Entry]" "Type=Application" "Name=Ostrel2" "Exec=ostrel2 %f" "Icon=ostrel2"
        "MimeType=application/vnd.ms-access;application/x-msaccess;")
    list(FIND entry "${line}" found)
    if(found EQUAL -1)
        message(FATAL_ERROR "desktop entry lacks '${line}'")
    endif()
endforeach()
file(REMOVE_RECURSE "${PREFIX}")
