# Installs playwright-core, as package-lock.json pins it, into the build
# tree (never the source tree): cmake -DSOURCE=tests/browser -DTREE=dir
# -DNPM=npm -P this file. Does nothing when that lock is installed already.
set(lock ${SOURCE}/package-lock.json)
set(installed ${TREE}/node_modules/.vantelo-installed-lock.json)
if(EXISTS ${installed} AND EXISTS ${TREE}/node_modules/playwright-core/package.json)
  file(SHA256 ${lock} wanted)
  file(SHA256 ${installed} have)
  if(wanted STREQUAL have)
    message(STATUS "playwright-core is installed in ${TREE}")
    return()
  endif()
endif()
file(COPY ${SOURCE}/package.json ${lock} DESTINATION ${TREE})
execute_process(COMMAND ${NPM} ci --no-audit --no-fund --loglevel=error
                WORKING_DIRECTORY ${TREE} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "npm ci of playwright-core in ${TREE} failed")
endif()
file(COPY_FILE ${lock} ${installed})
