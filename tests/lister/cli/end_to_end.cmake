# Runs trovanta-ls as a separate program and checks what a caller sees.
function(expect_run expected_status expected_out_regex)
  execute_process(COMMAND ${RUN_AS} ${LISTER} ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out
                  ERROR_VARIABLE err)
  if(NOT status EQUAL expected_status)
    message(FATAL_ERROR "trovanta-ls ${ARGN}: status ${status}, wanted ${expected_status}\n${out}${err}")
  endif()
  if(NOT "${out}${err}" MATCHES "${expected_out_regex}")
    message(FATAL_ERROR "trovanta-ls ${ARGN}: output does not match ${expected_out_regex}:\n${out}${err}")
  endif()
endfunction()

# Runs trovanta-ls in the demo archive's folder; it must succeed and print `expected` exactly.
function(expect_output expected)
  get_filename_component(demo_dir ${DEMO} DIRECTORY)
  execute_process(COMMAND ${LISTER} ${ARGN} WORKING_DIRECTORY ${demo_dir} RESULT_VARIABLE status
                  OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0 OR NOT err STREQUAL "" OR NOT out STREQUAL expected)
    message(FATAL_ERROR "trovanta-ls ${ARGN}: status ${status}, output:\n${out}${err}\nwanted:\n${expected}")
  endif()
endfunction()

file(READ ${EXPECTED}/demo_table.txt table)
expect_output("${table}" HEROES.SPR)
# Each listing after the first is set apart by a blank line.
expect_output("${table}\n${table}" HEROES.SPR HEROES.SPR)
file(READ ${EXPECTED}/demo_bytes.json json)
expect_output("${json}" --bytes --format json HEROES.SPR)
# One header line for several archives, each row led by its archive's path.
expect_run(0 "^Archive\tNumber\t[^\n]*\n${DEMO}\t0\t.*\n${DEMO}\t11\tCREDITS.TXT\tno\t1391\t\t\n${DEMO}\t0\t.*\n${DEMO}\t11\t[^\n]*\n$"
           --format tsv ${DEMO} ${DEMO})

# Each cause of a failure: the listing's message, the system's reason, the kind in JSON.
execute_process(COMMAND mktemp -d OUTPUT_VARIABLE work OUTPUT_STRIP_TRAILING_WHITESPACE)
file(CHMOD ${work} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE WORLD_READ WORLD_EXECUTE)
file(MAKE_DIRECTORY ${work}/shut)
file(COPY ${DEMO} DESTINATION ${work}/shut)
file(CHMOD ${work}/shut DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
file(WRITE ${work}/secret.spr "")
file(CHMOD ${work}/secret.spr PERMISSIONS OWNER_WRITE)
file(WRITE ${work}/junk.map "")  # an empty file reads 0 bytes, no error
file(CREATE_LINK loop ${work}/loop SYMBOLIC)
execute_process(COMMAND mkfifo ${work}/fifo COMMAND_ERROR_IS_FATAL ANY)
function(expect_failure kind message path)
  expect_run(1 "^trovanta-ls: ${path}: ${message}\n$" ${path})
  expect_run(1 "^{\"archive\":\"${path}\",\"error\":{\"kind\":\"${kind}\",\"message\":\"${message}\"}}\n$"
             --format json ${path})
endfunction()
expect_failure(not_found "This file does not exist\\." ${DEMO}.missing)
expect_failure(not_archive "JUNK.MAP is not a valid archive file\\." ${work}/junk.map)
expect_failure(not_regular "This file does not exist\\. \\(Is a directory\\)" ${work})
expect_failure(io "This file does not exist\\. \\(Too many levels of symbolic links\\)"
               ${work}/loop)
expect_failure(not_regular "FIFO is not a valid archive file\\. \\(not a regular file\\)"
               ${work}/fifo)
execute_process(COMMAND echo piped COMMAND ${LISTER} /dev/stdin RESULT_VARIABLE status
                ERROR_VARIABLE err)
if(NOT err STREQUAL "trovanta-ls: /dev/stdin: STDIN is not a valid archive file. (not a regular file)\n")
  message(FATAL_ERROR "trovanta-ls /dev/stdin from a pipe: ${err}")
endif()
# Permissions bind root only through another user's eyes.
execute_process(COMMAND id -u OUTPUT_VARIABLE uid OUTPUT_STRIP_TRAILING_WHITESPACE)
if(uid EQUAL 0)
  set(RUN_AS setpriv --reuid=65534 --regid=65534 --clear-groups)
endif()
expect_failure(permission "SECRET.SPR is not a valid archive file\\. \\(Permission denied\\)"
               ${work}/secret.spr)
expect_failure(permission "This file does not exist\\. \\(Permission denied\\)"
               ${work}/shut/HEROES.SPR)
unset(RUN_AS)
file(CHMOD ${work}/shut DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
file(REMOVE_RECURSE ${work})
expect_run(2 "unknown option" --nonsense ${DEMO})
expect_run(0 "^Usage: trovanta-ls" --help)
expect_run(0 "^Usage: trovanta-ls" a.spr -h)

# Output that cannot be written ends with one line naming the cause and status 1, in every format.
function(expect_full_output what)
  execute_process(COMMAND ${LISTER} ${ARGN} RESULT_VARIABLE status OUTPUT_FILE /dev/full
                  ERROR_VARIABLE err)
  set(wanted "trovanta-ls: cannot write the ${what}: No space left on device\n")
  if(NOT status EQUAL 1 OR NOT err STREQUAL wanted)
    message(FATAL_ERROR "trovanta-ls ${ARGN} >/dev/full: status ${status}, errors:\n${err}")
  endif()
endfunction()
foreach(format table tsv json)
  expect_full_output(listing --format ${format} ${DEMO} ${DEMO})
endforeach()
expect_full_output(help --help)
