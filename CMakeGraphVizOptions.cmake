# `cmake --graphviz=FILE BUILD` draws the project's targets and the libraries
# they link, without the Qt and system libraries' own insides.
set(GRAPHVIZ_GENERATE_PER_TARGET FALSE)
set(GRAPHVIZ_GENERATE_DEPENDERS FALSE)
set(GRAPHVIZ_IGNORE_TARGETS
  "^Qt6::(rcc|moc|uic|Platform|Gui)$"
  "^(WrapAtomic|WrapOpenGL|OpenGL|WrapVulkanHeaders|Threads|SQLite)::"
  "^dl$"
  "^tk_warnings$")
