# Test builds: the test publisher's certificates and the signatures of the
# programs the launcher starts with administrator rights. A shipped build
# trusts only the publishers it was configured with (foundation/CMakeLists.txt);
# a test build also trusts this test publisher, under a test root that the
# tests add to their Wine prefix's trusted roots.
#
# In ${ZUL_TEST_PKI_DIR}, made by scripts/make-test-pki.sh at build time:
# root.crt (also as root.der), publisher.crt/.key (the trusted test
# publisher), other.crt/.key (another publisher under the same root) and
# rogue.crt/.key (the publisher's very subject under a root nobody trusts;
# rogue-chain.pem carries that root too, so the chain names it).
set(ZUL_TEST_PUBLISHER "CN=Norvale Test Publisher, O=Norvale")
set(ZUL_TEST_PKI_DIR ${CMAKE_BINARY_DIR}/test-pki)
find_program(ZUL_OSSLSIGNCODE osslsigncode REQUIRED)
file(MAKE_DIRECTORY ${ZUL_TEST_PKI_DIR})
add_custom_command(
  OUTPUT ${ZUL_TEST_PKI_DIR}/root.der ${ZUL_TEST_PKI_DIR}/rogue-chain.pem
  COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/make-test-pki.sh ${ZUL_TEST_PKI_DIR}
          "/CN=Norvale Test Publisher/O=Norvale"
  COMMAND openssl x509 -in ${ZUL_TEST_PKI_DIR}/root.crt -outform DER -out ${ZUL_TEST_PKI_DIR}/root.der
  COMMAND sh -c "cat rogue.crt rogue-root.crt > rogue-chain.pem"
  WORKING_DIRECTORY ${ZUL_TEST_PKI_DIR}
  COMMENT "Making the test publisher's certificates"
  VERBATIM)
add_custom_target(zul_test_pki DEPENDS ${ZUL_TEST_PKI_DIR}/root.der ${ZUL_TEST_PKI_DIR}/rogue-chain.pem)

# zul_sign_test_program(target): signs the target's program as the test
# publisher every time it is linked.
function(zul_sign_test_program target)
  add_dependencies(${target} zul_test_pki)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/sign.sh --cert ${ZUL_TEST_PKI_DIR}/publisher.crt
            --key ${ZUL_TEST_PKI_DIR}/publisher.key $<TARGET_FILE:${target}>
    VERBATIM)
endfunction()

# zul_signed_variants(name DIR PROGRAM_TARGET): a target that puts into DIR
# the signed program and one copy for each reason to refuse it, with the test
# root (tests/tools/signed_variants.sh).
function(zul_signed_variants name dir program)
  set(outputs "")
  foreach(f signed.exe unsigned.exe altered.exe rogue.exe other.exe root.der)
    list(APPEND outputs ${dir}/${f})
  endforeach()
  add_custom_command(OUTPUT ${outputs}
    COMMAND bash ${CMAKE_SOURCE_DIR}/tests/tools/signed_variants.sh ${dir} $<TARGET_FILE:${program}>
            ${ZUL_TEST_PKI_DIR}
    DEPENDS ${program} zul_test_pki ${CMAKE_SOURCE_DIR}/tests/tools/signed_variants.sh
    COMMENT "Signing the test copies in ${dir}"
    VERBATIM)
  add_custom_target(${name} DEPENDS ${outputs})
endfunction()
