# Sourced by the package and Windows zip checks, from the source folder: the project's version,
# and failures counted by `fail` and `expect` so that a check reports all of them at its end.
version=$(sed -n 's/^project(GorblunkTools VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
failures=0
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}
# expect WHAT WANTED GOT
expect() {
  if [ "$2" != "$3" ]; then
    fail "$1: wanted '$2', got '$3'"
  fi
}
