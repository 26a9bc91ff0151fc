# cmake -DBUNDLE=Corvadel.lv2 -DURI=<the plug-in's URI> -DEMAIL=<the vendor's> -P MendLv2Turtle.cmake
#
# Corrects the Turtle that JUCE 7.0.5's manifest helper writes into the LV2 bundle, where it
# contradicts the LV2 schemas or describes what the plug-in is not. Every correction must find
# what it corrects: when JUCE writes something else, the build stops here instead of shipping a
# bundle nobody has checked.

function(mend file_name wrong right why)
  set(path ${BUNDLE}/${file_name})
  file(READ ${path} text)
  string(FIND "${text}" "${wrong}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${file_name}: JUCE's text to correct (${why}) was not found:\n${wrong}")
  endif()
  string(REPLACE "${wrong}" "${right}" text "${text}")
  file(WRITE ${path} "${text}")
endfunction()

# A preset per program, holding a program property the bundle never defines. The plug-in has one
# program that stands for its state; the preset would load nothing.
# JUCE writes the presets last.
file(READ ${BUNDLE}/manifest.ttl manifest)
string(FIND "${manifest}" "<${URI}:preset1>" preset_at)
if(preset_at EQUAL -1)
  message(FATAL_ERROR "manifest.ttl: the program's preset was not found")
endif()
string(SUBSTRING "${manifest}" ${preset_at} -1 presets)
string(REGEX MATCHALL "pset:Preset" preset_count "${presets}")
list(LENGTH preset_count preset_count)
if(NOT preset_count EQUAL 1)
  message(FATAL_ERROR "manifest.ttl: ${preset_count} presets where one program was expected")
endif()
string(SUBSTRING "${manifest}" 0 ${preset_at} manifest)
string(STRIP "${manifest}" manifest)
file(WRITE ${BUNDLE}/manifest.ttl "${manifest}\n")

# doap:name, doap:maintainer and doap:release belong to a doap:Project.
mend(dsp.ttl "\ta lv2:InstrumentPlugin ;\n" "\ta lv2:InstrumentPlugin , doap:Project ;\n" "the doap properties' domain")
# An e-mail address is a mailto: URI, not a path inside the bundle.
string(REGEX REPLACE "^mailto:" "" email "${EMAIL}")
mend(dsp.ttl "foaf:mbox <${email}>" "foaf:mbox <mailto:${email}>" "the maintainer's address")

# ui:noUserResize is a feature, not extension data; opts:interface is extension data (listed as
# such already), not a feature.
mend(ui.ttl "\t\topts:interface ,\n\t\tui:noUserResize ,\n" "\t\topts:interface ,\n" "the UI's extension data")
mend(ui.ttl "\t\tui:noUserResize ,\n\t\topts:interface ,\n\t\topts:options ;" "\t\tui:noUserResize ,\n\t\topts:options ;" "the UI's optional features")
