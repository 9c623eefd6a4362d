# Keeping the Spanish catalogues in step with the code.
#
# `cmake --build <tree> --target update-translations` rewrites
# translations/*.ts from the sources, .ui forms and report templates; new
# texts arrive unfinished, texts no longer used are dropped. The files carry
# no line numbers, so an update that finds nothing new leaves them unchanged.
# The test "translations_up_to_date" runs the same update on a copy and fails
# naming every text that is new or left unfinished; the committed files are
# never touched by a build or a test.

set(TARVELIN_TS_DIR ${CMAKE_SOURCE_DIR}/translations)
set(TARVELIN_REPORT_WORDS ${CMAKE_BINARY_DIR}/translations/ReportTemplateWords.cpp)
file(GLOB TARVELIN_REPORT_TEMPLATES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/reports/templates/*.xml)

# The template words as a source lupdate can read.
add_custom_command(
  OUTPUT ${TARVELIN_REPORT_WORDS}
  COMMAND tarvelin-report-words ${TARVELIN_REPORT_WORDS} ${TARVELIN_REPORT_TEMPLATES}
  DEPENDS tarvelin-report-words ${TARVELIN_REPORT_TEMPLATES}
  COMMENT "Collecting the words of the report templates"
  VERBATIM)
add_custom_target(report-template-words ALL DEPENDS ${TARVELIN_REPORT_WORDS})

# The application catalogue takes every library's texts but the reports';
# the report catalogue the reports library's and the templates' words.
set(TARVELIN_APP_TEXT_DIRS analysis acquisition store stress ui app)
set(TARVELIN_LUPDATE_OPTIONS -silent -no-obsolete -locations none)

add_custom_target(update-translations
  COMMAND Qt5::lupdate ${TARVELIN_LUPDATE_OPTIONS} ${TARVELIN_APP_TEXT_DIRS}
          -ts ${TARVELIN_TS_DIR}/TarvelinStressECG_es.ts
  COMMAND Qt5::lupdate ${TARVELIN_LUPDATE_OPTIONS} reports ${TARVELIN_REPORT_WORDS}
          -ts ${TARVELIN_TS_DIR}/report_es.ts
  DEPENDS ${TARVELIN_REPORT_WORDS}
  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
  COMMENT "Updating translations/*.ts from the sources"
  VERBATIM)
