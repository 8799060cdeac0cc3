# Sourced by the benchmarks of the matching of people, from the project's
# root: builds the command and the generator in Release (build/bench) and
# makes a work folder removed on exit. Sets build, ovrin and work.
build=build/bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DOVRIN_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target ovrin_command make_people >/dev/null
ovrin=$PWD/$build/ovrin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
