# Fails when a text the program shows has no Japanese translation yet: runs
# lupdate over the sources into a copy of the catalogue and looks for entries
# it left unfinished. Called by the tests with LUPDATE, TS, OUT, OPTIONS and
# SOURCES (;-lists) set.
file(COPY_FILE "${TS}" "${OUT}")
execute_process(COMMAND "${LUPDATE}" ${OPTIONS} ${SOURCES} -ts "${OUT}"
  RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "lupdate failed: ${errors}")
endif()
file(READ "${OUT}" catalogue)
string(REGEX MATCHALL "<source>[^<]*</source>[ \n]*<translation type=\"unfinished\"" missing "${catalogue}")
list(LENGTH missing count)
if(count GREATER 0)
  string(REPLACE ";" "\n" missing "${missing}")
  message(FATAL_ERROR "${count} texts without a translation in ${TS}:\n${missing}")
endif()
