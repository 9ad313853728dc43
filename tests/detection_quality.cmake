# The tadpole search measured against the truth of the synthetic logs and
# of the shipped sample: fails when any of them falls short of the required
# recall, precision, dip and azimuth errors and fill.
file(REMOVE_RECURSE ${FOLDER})
file(MAKE_DIRECTORY ${FOLDER})
execute_process(COMMAND ${MAKE_TRUTH} ${FOLDER} clean fax jpeg grid pairs large well colour skewed RESULT_VARIABLE made)
if(NOT made EQUAL 0)
  message(FATAL_ERROR "make_truth_logs failed: ${made}")
endif()
execute_process(COMMAND ${EVALUATE} --check ${FOLDER}/clean.csv ${FOLDER}/fax.csv ${FOLDER}/jpeg.csv
                        ${FOLDER}/grid.csv ${FOLDER}/pairs.csv ${FOLDER}/large.csv ${FOLDER}/well.csv
                        ${FOLDER}/colour.csv ${FOLDER}/skewed.csv ${SAMPLE}
                RESULT_VARIABLE measured)
file(REMOVE_RECURSE ${FOLDER})
if(NOT measured EQUAL 0)
  message(FATAL_ERROR "the tadpole search falls short on some log (above)")
endif()
