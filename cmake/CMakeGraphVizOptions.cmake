# What tools/draw-architecture.sh draws of CMake's target graph: only the families. The
# interface targets every family links, the shared library, programs, tests and
# outside libraries stay out of the picture.
set(GRAPHVIZ_GRAPH_NAME "vrnqel43 families")
set(GRAPHVIZ_EXTERNAL_LIBS OFF)
set(GRAPHVIZ_INTERFACE_LIBS OFF)
set(GRAPHVIZ_GENERATE_PER_TARGET OFF)
set(GRAPHVIZ_GENERATE_DEPENDERS OFF)
set(GRAPHVIZ_IGNORE_TARGETS "^vrnqel43$" "^qel(conv|ini|trace)$" "^qel_(reverse_tables|program_host|library_code|warnings)$" "^qel_.*_layers$")
