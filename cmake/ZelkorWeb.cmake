# zelkor_web_show(NAME MAIN SCENES...): under Emscripten (zelkor-build-web),
# the show's program with its scenes compiled in, on the engine built from
# the sources installed with it, and the site around it in build/site.
function(zelkor_web_show name main)
    message(FATAL_ERROR "zelkor_web_show: the web build of a show of one's own is not there yet")
endfunction()
