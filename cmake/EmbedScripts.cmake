# Joins the scripts of a folder, in name order, into one C++ source holding them as a string:
#   cmake -DOUTPUT=file.cpp -DSYMBOL=name -DFOLDER=dir -P EmbedScripts.cmake
file(GLOB INPUTS ${FOLDER}/*.js)
list(SORT INPUTS)
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
