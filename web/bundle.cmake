# Makes lockprobe.html from page.html: each marker comment is replaced by
# what it names, so that the page needs no other file. The worker's script,
# Graphviz, the engine and worker.js, is kept as text and started from a Blob.
#   cmake -DSOURCE_DIR=web -DNODE_MODULES=node_modules -DENGINE=engine.js -DVERSION=1.0.0
#     -DOUTPUT=lockprobe.html -P bundle.cmake
file(READ ${SOURCE_DIR}/page.html page)
file(READ ${SOURCE_DIR}/style.css style)
# The page's scripts, each a job of its own, share one module.
set(script "")
foreach(part text.js words.js steps.js page.js)
  file(READ ${SOURCE_DIR}/${part} text)
  string(APPEND script "${text}\n")
endforeach()
file(READ ${NODE_MODULES}/@viz-js/viz/dist/viz-global.js viz)
file(READ ${ENGINE} engine)
file(READ ${SOURCE_DIR}/worker.js worker)

file(GLOB example_files ${SOURCE_DIR}/../examples/*.txt)
set(examples "")
foreach(path IN LISTS example_files)
  get_filename_component(name ${path} NAME_WE)
  file(READ ${path} text)
  string(APPEND examples "<script type=\"text/plain\" data-example=\"${name}\">${text}</script>\n")
endforeach()

foreach(part viz engine worker script)
  if(${part} MATCHES "</script")
    message(FATAL_ERROR "${part} holds </script, which would end its element early")
  endif()
endforeach()
string(REPLACE "<!-- version -->" "${VERSION}" page "${page}")
string(REPLACE "<!-- style -->" "<style>\n${style}</style>" page "${page}")
string(REPLACE "<!-- examples -->" "${examples}" page "${page}")
string(REPLACE "<!-- worker -->"
  "<script type=\"text/plain\" id=\"worker-source\">${viz}\n${engine}\n${worker}</script>"
  page "${page}")
string(REPLACE "<!-- script -->" "<script type=\"module\">\n${script}</script>" page "${page}")
file(WRITE ${OUTPUT} "${page}")
