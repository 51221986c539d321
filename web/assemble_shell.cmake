# Puts the page's style sheet and scripts into its HTML, for Emscripten's
# --shell-file: cmake -DSOURCE=web/page -DOUTPUT=shell.html -P this file.
file(READ ${SOURCE}/settings.html html)
file(READ ${SOURCE}/settings.css css)
file(READ ${SOURCE}/descriptions.js descriptions)
file(READ ${SOURCE}/settings.js script)
string(REPLACE "/*@STYLE@*/" "${css}" html "${html}")
string(REPLACE "/*@DESCRIPTIONS@*/" "${descriptions}" html "${html}")
string(REPLACE "/*@SCRIPT@*/" "${script}" html "${html}")
file(WRITE ${OUTPUT} "${html}")
