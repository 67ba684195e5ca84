# Installs the browser tests' Node modules exactly as the lock file names
# them, once for each change of the lock file.
#   cmake -DSOURCE=dir -DMODULES=dir -DNPM=npm -P install_modules.cmake
file(MAKE_DIRECTORY "${MODULES}")
file(SHA256 "${SOURCE}/package-lock.json" wanted)
set(stamp "${MODULES}/installed.sha256")
if(EXISTS "${stamp}")
    file(READ "${stamp}" installed)
    if(installed STREQUAL wanted AND EXISTS "${MODULES}/node_modules/puppeteer-core/package.json")
        return()
    endif()
endif()
file(COPY "${SOURCE}/package.json" "${SOURCE}/package-lock.json" DESTINATION "${MODULES}")
set(ENV{PUPPETEER_SKIP_DOWNLOAD} 1)
execute_process(
    COMMAND "${NPM}" ci --ignore-scripts --no-audit --no-fund
    WORKING_DIRECTORY "${MODULES}"
    RESULT_VARIABLE result
    TIMEOUT 600)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "npm ci failed in ${MODULES}: ${result}")
endif()
file(WRITE "${stamp}" "${wanted}")
