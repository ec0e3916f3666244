# The add-in in the simulator's own process, as a user gets it: sldworks.exe
# with ZELM_Compact.dll in the "Apps" folder beside it, driven by a script.
# The add-in must be loaded from Apps at start and answer 97001; opening a
# part must install the part entries (through the add-in's event sink);
# picking "Compacter" must compact the part into the chosen folder, and
# picking "Décompacter" on the copy must take the envelope off again.
#
# Inputs: WINE_RUN, SLDWORKS, ADDIN, STAGE (a folder in the build tree),
# BUILD_DIR (the build tree, drive Q: under wine-run).

file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE}/Apps ${STAGE}/sortie)
file(COPY_FILE ${SLDWORKS} ${STAGE}/sldworks.exe)
file(COPY_FILE ${ADDIN} ${STAGE}/Apps/ZELM_Compact.dll)

# The stage as Windows sees it under wine-run.
file(RELATIVE_PATH relative ${BUILD_DIR} ${STAGE})
string(REPLACE "/" "\\" relative "${relative}")
set(w "Q:\\${relative}")

set(part "${w}\\bride.SLDPRT")
set(copy "${w}\\sortie\\bride.SLDPRT")
file(WRITE ${STAGE}/script.txt
"new-part ${part} flange
open ${part}
answer-save ${copy}
expect-message Fichier compacté avec succès dans le dossier\\n${w}\\sortie\\
menu Compacter
dump ${copy}
open ${copy}
menu Décompacter
dump ${copy}
")

execute_process(
  COMMAND bash ${WINE_RUN} ${STAGE}/sldworks.exe /script ${STAGE}/script.txt
  RESULT_VARIABLE status
  OUTPUT_VARIABLE transcript
  ERROR_VARIABLE errors
  TIMEOUT 100)
message("${transcript}")

set(problems "")
if(NOT status EQUAL 0)
  string(APPEND problems "sldworks.exe ended with ${status}\n${errors}\n")
endif()
if(NOT transcript MATCHES "(^|\n)addin: ZELM_Compact\\.dll -> 97001\r?\n")
  string(APPEND problems "the add-in was not loaded from Apps with 97001\n")
endif()
if(NOT transcript MATCHES "save-dialog: bride\\.SLDPRT -> ")
  string(APPEND problems "\"Compacter\" did not ask for the destination\n")
endif()
# The compacted copy carries both markers; after "Décompacter" the copy that
# is open no longer does.
string(REGEX MATCHALL "feature: [^\n]*KMTV_Compact001" markers "${transcript}")
list(LENGTH markers marker_count)
if(NOT marker_count EQUAL 2)
  string(APPEND problems "expected the two markers in the first dump only, found ${marker_count}\n")
endif()
if(NOT transcript MATCHES "result: ok")
  string(APPEND problems "the script's expectations did not all hold\n")
endif()
if(problems)
  message(FATAL_ERROR "${problems}")
endif()
