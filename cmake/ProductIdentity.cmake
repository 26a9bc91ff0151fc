# Reads the plug-in's identity from engine/ProductIdentity.h, the one place it is written, into
# CORVADEL_<NAME> variables (CORVADEL_name, CORVADEL_vendor, CORVADEL_lv2Uri, ...).
set(identity_header ${PROJECT_SOURCE_DIR}/engine/ProductIdentity.h)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${identity_header})
file(STRINGS ${identity_header} identity_lines REGEX "^constexpr const char\\* [A-Za-z0-9]+ = \"[^\"]*\";")

foreach(line IN LISTS identity_lines)
  string(REGEX REPLACE "^constexpr const char\\* ([A-Za-z0-9]+) = \"([^\"]*)\";.*$" "\\1;\\2" pair "${line}")
  list(GET pair 0 key)
  list(GET pair 1 value)
  set(CORVADEL_${key} "${value}")
endforeach()

foreach(key name vendor versionText manufacturerCode pluginCode lv2Uri vendorWebsite vendorEmail description)
  if(NOT DEFINED CORVADEL_${key})
    message(FATAL_ERROR "engine/ProductIdentity.h does not define ${key}")
  endif()
endforeach()
