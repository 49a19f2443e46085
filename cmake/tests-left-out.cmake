# Run as the test "tests_left_out" (tests/CMakeLists.txt) when test tools
# were missing at configure time: it fails and says what to install, so that
# the test command cannot pass with tests left out.
message(FATAL_ERROR "Tests left out: ${LEFT_OUT}.\n"
                    "Install the Debian packages ${PACKAGES} and configure again.")
