# Runs trovanta-ls as a separate program and checks what a caller sees.
function(expect_run expected_status expected_out_regex)
  execute_process(COMMAND ${LISTER} ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out
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
expect_run(0 "^Number\tRecord name\t.*\n11\tCREDITS.TXT\tno\t1391\t\t\n$" --format tsv ${DEMO})
expect_run(1 "This file does not exist\\." ${DEMO}.missing)
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
