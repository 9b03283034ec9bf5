# Runs one scenario script through kivex-batch in a fresh working directory and compares what it
# printed with the expected files beside the script:
#   NAME.expected      standard output (required)
#   NAME.expected-err  standard error (optional; when absent, standard error must be empty)
#   NAME.exit          expected exit code (optional; 0 when absent)
# Files under e2e/data are copied into the working directory first, and the instrument exports
# the io tests read (io/data) into its folder io.
get_filename_component(dir ${SCRIPT} DIRECTORY)
get_filename_component(name ${SCRIPT} NAME_WE)

file(REMOVE_RECURSE ${WORKDIR})
file(MAKE_DIRECTORY ${WORKDIR})
if(EXISTS ${dir}/data)
  file(COPY ${dir}/data/ DESTINATION ${WORKDIR})
endif()
if(EXISTS ${dir}/../io/data)
  file(COPY ${dir}/../io/data/ DESTINATION ${WORKDIR}/io)
endif()

execute_process(COMMAND ${BATCH} ${SCRIPT}
  WORKING_DIRECTORY ${WORKDIR}
  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE code)

set(expected_code 0)
if(EXISTS ${dir}/${name}.exit)
  file(STRINGS ${dir}/${name}.exit expected_code LIMIT_COUNT 1)
endif()
file(READ ${dir}/${name}.expected expected_out)
set(expected_err "")
if(EXISTS ${dir}/${name}.expected-err)
  file(READ ${dir}/${name}.expected-err expected_err)
endif()

# Timings differ from run to run; compare them as a placeholder.
string(REGEX REPLACE "time \\(s\\) = [^\n]*" "time (s) = <elapsed>" out "${out}")
string(REGEX REPLACE "time = [^\n]*" "time = <elapsed>" out "${out}")

set(failed FALSE)
if(NOT "${code}" STREQUAL "${expected_code}")
  message("exit code ${code}, expected ${expected_code}")
  set(failed TRUE)
endif()
if(NOT "${out}" STREQUAL "${expected_out}")
  file(WRITE ${WORKDIR}/actual.out "${out}")
  message("standard output differs; got (also in ${WORKDIR}/actual.out):\n${out}")
  set(failed TRUE)
endif()
string(REPLACE "${SCRIPT}" "SCRIPT" err "${err}")
if(NOT "${err}" STREQUAL "${expected_err}")
  message("standard error differs; got:\n${err}")
  set(failed TRUE)
endif()
if(failed)
  message(FATAL_ERROR "scenario ${name} failed")
endif()
