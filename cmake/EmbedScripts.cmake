# Joins the viewer's scripts, in name order, into one C++ source holding them as a string:
#   cmake -DOUTPUT=file.cpp -DSYMBOL=name -DINPUTS="a.js;b.js" -P EmbedScripts.cmake
set(text "")
foreach(input ${INPUTS})
  file(READ ${input} part)
  string(APPEND text "${part}\n")
endforeach()
if(text MATCHES "\\)VELDRINJS\"")
  message(FATAL_ERROR "a script holds the literal's closing mark )VELDRINJS\"")
endif()
file(WRITE ${OUTPUT}.tmp "namespace veldrin {\nextern const char ${SYMBOL}[];\nconst char ${SYMBOL}[] = R\"VELDRINJS(${text})VELDRINJS\";\n}\n")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
