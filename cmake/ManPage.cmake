# cmake -DTOOL=path -DNAME=name -DSUMMARY=text -DVERSION=x.y.z -DOUT=file.1.gz -P ManPage.cmake
# Writes a manual page made from the tool's own --help, so that the two
# never disagree, compressed as Debian installs manual pages.
execute_process(COMMAND ${TOOL} --help OUTPUT_VARIABLE help RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${TOOL} --help failed")
endif()
# roff: backslashes and minus signs escaped, no line taken for a request.
string(REPLACE "\\" "\\e" help "${help}")
string(REPLACE "-" "\\-" help "${help}")
string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
string(TOUPPER "${NAME}" upper)
string(REPLACE "-" "\\-" name_roff "${NAME}")
file(WRITE ${OUT}.tmp
  ".TH ${upper} 1 \"2026\" \"Vorda Brasswick ${VERSION}\" \"User Commands\"\n"
  ".SH NAME\n${name_roff} \\- ${SUMMARY}\n"
  ".SH DESCRIPTION\n"
  "The text below is what\n.B ${name_roff} \\-\\-help\nprints.\n"
  ".PP\n.nf\n${help}.fi\n"
  ".SH COPYRIGHT\nCopyright 2026 Vorda. MIT licence.\n")
execute_process(COMMAND gzip -9nc ${OUT}.tmp OUTPUT_FILE ${OUT} RESULT_VARIABLE rc)
file(REMOVE ${OUT}.tmp)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "gzip failed for ${OUT}")
endif()
