# Copies the authored media tree (SOURCE) into the program's folder (DESTINATION), if present.
if(EXISTS "${SOURCE}")
  file(COPY "${SOURCE}/" DESTINATION "${DESTINATION}")
endif()
