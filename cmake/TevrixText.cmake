# text_conversion(MODE IN OUT): OUT made from IN at build time by cmake/text_file.cmake (gzip,
# crlf or man-text), remade whenever IN changes.
function(text_conversion mode in out)
    add_custom_command(OUTPUT ${out}
                       COMMAND ${CMAKE_COMMAND} -DMODE=${mode} -DIN=${in} -DOUT=${out}
                               -P ${CMAKE_SOURCE_DIR}/cmake/text_file.cmake
                       DEPENDS ${in} ${CMAKE_SOURCE_DIR}/cmake/text_file.cmake VERBATIM)
endfunction()
