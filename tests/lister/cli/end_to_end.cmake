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

expect_run(0 "^Trovanta \\(HEROES.SPR\\)\n.*Total compressed length: +44 KB \\(61.4% gained\\)\n$" ${DEMO})
expect_run(0 "^Number\tRecord name\t.*\n11\tCREDITS.TXT\tno\t1391\t\t\n$" --format tsv ${DEMO})
expect_run(1 "This file does not exist\\." ${DEMO}.missing)
expect_run(2 "unknown option" --nonsense ${DEMO})
expect_run(0 "^Usage: trovanta-ls" --help)
