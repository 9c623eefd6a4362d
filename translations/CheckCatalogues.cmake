# Runs the catalogue update on a copy of translations/*.ts and fails, naming
# each text, when a text of the code is missing from the committed catalogues
# or left unfinished there. Called by ctest with -D LUPDATE=... SOURCE_DIR=...
# REPORT_WORDS=... WORK_DIR=...

foreach(var LUPDATE SOURCE_DIR REPORT_WORDS WORK_DIR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "CheckCatalogues.cmake needs -D ${var}=...")
  endif()
endforeach()

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
file(COPY ${SOURCE_DIR}/translations/TarvelinStressECG_es.ts ${SOURCE_DIR}/translations/report_es.ts
     DESTINATION ${WORK_DIR})

set(options -silent -no-obsolete -locations none)
execute_process(
  COMMAND ${LUPDATE} ${options} analysis acquisition store stress ui app -ts ${WORK_DIR}/TarvelinStressECG_es.ts
  WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE appResult)
execute_process(
  COMMAND ${LUPDATE} ${options} reports ${REPORT_WORDS} -ts ${WORK_DIR}/report_es.ts
  WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE reportResult)
if(NOT appResult EQUAL 0 OR NOT reportResult EQUAL 0)
  message(FATAL_ERROR "lupdate failed (${appResult}, ${reportResult})")
endif()

set(missing "")
foreach(catalogue TarvelinStressECG_es report_es)
  file(READ ${WORK_DIR}/${catalogue}.ts content)
  # A context's name precedes its messages; each unfinished message is
  # reported with it.
  string(REGEX MATCHALL "<name>[^<]*</name>|<source>[^<]*</source>[^<]*(<comment>[^<]*</comment>[^<]*)?(<oldsource>[^<]*</oldsource>[^<]*)?<translation type=\"unfinished\"" items "${content}")
  set(context "")
  foreach(item IN LISTS items)
    if(item MATCHES "^<name>([^<]*)</name>$")
      set(context "${CMAKE_MATCH_1}")
    elseif(item MATCHES "^<source>([^<]*)</source>")
      string(APPEND missing "  ${catalogue} ${context}: \"${CMAKE_MATCH_1}\"\n")
    endif()
  endforeach()
endforeach()

if(missing)
  message(FATAL_ERROR "Texts missing from or unfinished in translations/*.ts "
                      "(run the update-translations target, then translate them):\n${missing}")
endif()
message(STATUS "Every text of the code is translated")
