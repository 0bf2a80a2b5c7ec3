# The Debian packages each command needs; sourced by run.sh and test.sh.
build_packages=(cmake ninja-build g++)
test_packages=(libgtest-dev)
