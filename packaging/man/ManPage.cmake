# Writes a gzipped manual page from a program's --help and --version with help2man.
#   cmake -DPROGRAM=path -DNAME="one-line description" -DOUTPUT=file.1.gz
#         [-DINCLUDE=extra.h2m] [-DCOMMANDS=ON] -P ManPage.cmake
# COMMANDS=ON adds a COMMANDS section with the --help of every command the program's own
# --help lists under "Commands:" (as thermo4-cli does).
find_program(HELP2MAN help2man REQUIRED)
find_program(GZIP gzip REQUIRED)
get_filename_component(program_name ${PROGRAM} NAME)
set(work ${OUTPUT}.work)
file(MAKE_DIRECTORY ${work})
set(include_file ${work}/include.h2m)
file(WRITE ${include_file} "")

if(COMMANDS)
  execute_process(COMMAND ${PROGRAM} --help OUTPUT_VARIABLE help COMMAND_ERROR_IS_FATAL ANY)
  string(REPLACE "\n" ";" lines "${help}")
  set(in_commands OFF)
  set(section "[COMMANDS]\n")
  foreach(line IN LISTS lines)
    if(line STREQUAL "Commands:")
      set(in_commands ON)
    elseif(in_commands AND line MATCHES "^  ([a-z][a-z0-9-]*)  ")
      set(command ${CMAKE_MATCH_1})
      execute_process(COMMAND ${PROGRAM} ${command} --help OUTPUT_VARIABLE text COMMAND_ERROR_IS_FATAL ANY)
      # Shown as written: roff escapes for backslashes and for lines that start with a dot.
      string(REPLACE "\\" "\\e" text "${text}")
      string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
      string(APPEND section ".SS ${command}\n.nf\n${text}.fi\n")
    elseif(in_commands)
      set(in_commands OFF)
    endif()
  endforeach()
  file(APPEND ${include_file} "${section}")
endif()
if(INCLUDE)
  file(READ ${INCLUDE} extra)
  file(APPEND ${include_file} "${extra}")
endif()

# The help texts are UTF-8 (°C): help2man would turn them into its locale's character set.
execute_process(
  COMMAND ${HELP2MAN} --locale=C.UTF-8 --no-info --section=1 --name=${NAME} --include=${include_file}
          --output=${work}/${program_name}.1 ${PROGRAM}
  COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${GZIP} -9 -n -f ${work}/${program_name}.1 COMMAND_ERROR_IS_FATAL ANY)
file(RENAME ${work}/${program_name}.1.gz ${OUTPUT})
file(REMOVE_RECURSE ${work})
