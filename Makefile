# The two commands of a fresh machine: `make run` (the demo game) and `make test`.
.PHONY: deps run test bench fuzz format clean

deps:
	@scripts/install-deps.sh

run: deps
	cmake --preset release
	cmake --build --preset release
	@# The game needs the user's pictures folder, which a desktop session makes and a bare machine lacks.
	@[ -f "$${XDG_CONFIG_HOME:-$$HOME/.config}/user-dirs.dirs" ] || mkdir -p "$$HOME/Pictures"
	cd build/release/run && ./quarn

test: deps
	cmake --preset test
	cmake --build --preset test
	ctest --preset test

bench: deps
	cmake --preset bench
	cmake --build --preset bench
	scripts/run-benchmarks.sh build/bench/bench

# FUZZ_SECONDS=600 (the default) runs each reader's fuzzer for ten minutes.
fuzz:
	@scripts/install-deps.sh fuzz
	cmake --preset fuzz
	cmake --build --preset fuzz
	scripts/run-fuzzers.sh build/fuzz/fuzz

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
