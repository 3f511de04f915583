# Build-time conversions of the documents that ship: cmake -DMODE=... -DIN=... -DOUT=... -P text_file.cmake
#   gzip      IN compressed into OUT, without a time stamp, so that two builds give the same bytes
#   crlf      IN with CR LF line ends, for Notepad
#   man-text  the manual page IN rendered as plain text with CR LF line ends
if(MODE STREQUAL "gzip")
    execute_process(COMMAND gzip -n -9 -c ${IN} OUTPUT_FILE ${OUT} RESULT_VARIABLE failed)
    set(text "")
elseif(MODE STREQUAL "crlf")
    file(READ ${IN} text)
elseif(MODE STREQUAL "man-text")
    # -P-cbou: no overstriking, no escape sequences, just the characters.
    execute_process(COMMAND groff -man -Tascii -P-cbou ${IN} OUTPUT_VARIABLE text RESULT_VARIABLE failed)
else()
    message(FATAL_ERROR "text_file.cmake: unknown MODE '${MODE}'")
endif()
if(failed)
    message(FATAL_ERROR "text_file.cmake: ${MODE} of ${IN} failed")
endif()
if(NOT MODE STREQUAL "gzip")
    string(REPLACE "\r\n" "\n" text "${text}")
    string(REPLACE "\n" "\r\n" text "${text}")
    file(WRITE ${OUT} "${text}")
endif()
