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
