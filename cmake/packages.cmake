# The target `packages`: what a Windows user downloads, named with project()'s version. The zip holds pelto.exe,
# README.md and LICENSE.txt; the setup program (NSIS, tools/pelto.nsi) installs the same three files, so both hold the
# one pelto.exe of this build. tools/package.sh builds it from the Release build in build-release.
if(MINGW)
    # What users download has no symbol table: a quarter of the size.
    target_link_options(pelto PRIVATE $<$<CONFIG:Release>:-s>)
endif()
# The packages' build (preset "release") reads the platform's headers once instead of in every unit: a quarter of
# the time. The test build does without, so that a unit that leaves out an include it needs still fails there.
option(PELTO_PRECOMPILE_HEADERS "Precompile the platform's headers for pelto_core" OFF)
if(PELTO_PRECOMPILE_HEADERS)
    target_precompile_headers(pelto_core PRIVATE <windows.h> <commdlg.h> <commctrl.h> <mmsystem.h> <vfw.h>
                              <shlwapi.h> <algorithm> <vector> <atomic>)
endif()

find_program(PELTO_MAKENSIS makensis)
set(PELTO_STAGE ${CMAKE_BINARY_DIR}/package)
set(PELTO_ZIP ${CMAKE_BINARY_DIR}/pelto-${PROJECT_VERSION}-win64.zip)
set(PELTO_SETUP ${CMAKE_BINARY_DIR}/pelto-${PROJECT_VERSION}-setup.exe)

add_custom_command(OUTPUT ${PELTO_ZIP}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${PELTO_STAGE} ${PELTO_ZIP}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PELTO_STAGE}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:pelto> ${PELTO_STAGE}/pelto.exe
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/README.md ${PELTO_STAGE}/README.md
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/LICENSE ${PELTO_STAGE}/LICENSE.txt
    COMMAND ${CMAKE_COMMAND} -E chdir ${PELTO_STAGE}
            ${CMAKE_COMMAND} -E tar cf ${PELTO_ZIP} --format=zip pelto.exe README.md LICENSE.txt
    DEPENDS pelto ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE
    COMMENT "Making ${PELTO_ZIP}"
    VERBATIM)

if(PELTO_MAKENSIS)
    set(PELTO_NSIS_COMMAND ${PELTO_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DVERSION_QUAD=${PELTO_VERSION_QUAD}
        -DEXE=$<TARGET_FILE:pelto> -DREADME=${CMAKE_SOURCE_DIR}/README.md -DLICENSE=${CMAKE_SOURCE_DIR}/LICENSE
        -DICON=${CMAKE_SOURCE_DIR}/src/resources/art/pelto.ico -DOUTFILE=${PELTO_SETUP}
        ${CMAKE_SOURCE_DIR}/tools/pelto.nsi)
else()
    set(PELTO_NSIS_COMMAND ${CMAKE_COMMAND} -E echo "makensis (NSIS) was not found: tools/setup.sh installs it"
        COMMAND ${CMAKE_COMMAND} -E false)
endif()
add_custom_command(OUTPUT ${PELTO_SETUP}
    COMMAND ${PELTO_NSIS_COMMAND}
    DEPENDS pelto ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE ${CMAKE_SOURCE_DIR}/tools/pelto.nsi
            ${CMAKE_SOURCE_DIR}/src/resources/art/pelto.ico
    COMMENT "Making ${PELTO_SETUP}"
    VERBATIM)

add_custom_target(packages DEPENDS ${PELTO_ZIP} ${PELTO_SETUP})
