# The tadpole search measured against the truth of the synthetic logs and
# of the shipped sample, clean and spoiled: fails when any of them falls
# short of the required recall, precision, dip and azimuth errors, fill and
# precision at 90 % sure, or the page without tadpoles of its false ones.
file(REMOVE_RECURSE ${FOLDER})
file(MAKE_DIRECTORY ${FOLDER})
execute_process(COMMAND ${MAKE_TRUTH} ${FOLDER} --sample ${SAMPLE_PICTURE} clean fax jpeg grid pairs large well colour
                        skewed speckle faded microfilm stained curve empty
                RESULT_VARIABLE made)
if(NOT made EQUAL 0)
  message(FATAL_ERROR "make_truth_logs failed: ${made}")
endif()
set(clean clean fax jpeg grid pairs large well colour skewed)
set(spoiled speckle faded microfilm stained curve sample-speckled empty)
list(TRANSFORM clean PREPEND ${FOLDER}/)
list(TRANSFORM clean APPEND .csv)
list(TRANSFORM spoiled PREPEND ${FOLDER}/)
list(TRANSFORM spoiled APPEND .csv)
execute_process(COMMAND ${EVALUATE} --check ${clean} ${SAMPLE} --spoiled ${spoiled} RESULT_VARIABLE measured)
file(REMOVE_RECURSE ${FOLDER})
if(NOT measured EQUAL 0)
  message(FATAL_ERROR "the tadpole search falls short on some log (above)")
endif()
