cmake_minimum_required(VERSION 3.25)

# Writes tervane-cli's manual page from its help, so that the two never
# disagree: the program's help, then each command's, as it prints them.
# Variables: CLI, the program; OUT, the page; VERSION; LIBRARY_DIR, where
# the part library is installed.

function(help_of out_var)
  execute_process(COMMAND "${CLI}" ${ARGN} --help OUTPUT_VARIABLE text RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "tervane-cli ${ARGN} --help failed: ${status}")
  endif()
  set(${out_var} "${text}" PARENT_SCOPE)
endfunction()

# Help text as roff, each line as printed: a backslash and a minus sign
# escaped, a line that would read as a request guarded.
function(verbatim text out_var)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  set(${out_var} ".nf\n${text}.fi\n" PARENT_SCOPE)
endfunction()

help_of(help)
string(REGEX MATCH "^[^\n]*" summary "${help}")
string(REGEX REPLACE "^[^\n]*\n" "" described "${help}")
verbatim("${described}" page_help)
string(REGEX MATCH "\nSubcommands:\n(  [^\n]*\n)+" listed "${help}")
string(REGEX MATCHALL "\n  [a-z]+ " commands "${listed}")

set(page ".TH TERVANE\\-CLI 1 \"\" \"Tervane ${VERSION}\" \"User Commands\"\n")
string(APPEND page ".SH NAME\ntervane\\-cli \\- ${summary}\n")
string(APPEND page ".SH SYNOPSIS\n.B tervane\\-cli\n.I COMMAND\n.RI [ OPTIONS ]\n")
string(APPEND page ".SH DESCRIPTION\n${page_help}.SH COMMANDS\n")
foreach(command IN LISTS commands)
  string(STRIP "${command}" command)
  help_of(command_help ${command})
  verbatim("${command_help}" command_help)
  string(APPEND page ".SS ${command}\n${command_help}")
endforeach()
string(APPEND page ".SH FILES\n.TP\n.B tervane.txt\n"
  "The part library, read from the current folder when it holds one, else from\n"
  ".IR ${LIBRARY_DIR}/tervane.txt ;\n"
  ".B \\-\\-parts\nnames another.\n"
  ".SH SEE ALSO\n.BR tervane (1)\n")
file(WRITE "${OUT}" "${page}")
