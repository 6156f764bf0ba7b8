"""scripts/check-private-net, the guard that every test which sends calls
first: it lets a test run only in a namespace made by scripts/private-net,
and refuses wherever another interface could carry a broadcast out."""

import os
import subprocess
import sys
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
PRIVATE_NET = os.path.join(ROOT, "scripts", "private-net")
CHECK = os.path.join(ROOT, "scripts", "check-private-net")


def inside_private_net(setup):
    """Runs the guard in a namespace of scripts/private-net after the setup commands."""
    return subprocess.run([PRIVATE_NET, "sh", "-c", f"{setup}\n{CHECK}"], capture_output=True, text=True,
                          timeout=60)


class PrivateNetGuardTest(unittest.TestCase):
    def test_accepts_the_namespace_of_private_net(self):
        result = inside_private_net(":")
        self.assertEqual(result.returncode, 0, result.stderr)

    def test_refuses_a_namespace_with_another_interface(self):
        result = inside_private_net("ip link add extra0 type veth peer name extra1")
        self.assertEqual(result.returncode, 1)
        self.assertIn("interface extra", result.stderr)
        self.assertIn("refusing to send", result.stderr)

    def test_refuses_a_pair_of_the_right_name_that_is_not_veth(self):
        result = inside_private_net("ip link del kmv0 && ip link add kmv0 type bridge")
        self.assertEqual(result.returncode, 1, result.stderr)
        self.assertIn("kmv0 is not a veth interface", result.stderr)

    def test_refuses_when_wine_could_find_a_server_of_another_network(self):
        result = inside_private_net("export TMPDIR=/tmp")
        self.assertEqual(result.returncode, 1, result.stderr)
        self.assertIn("TMPDIR is not this namespace's own tmpfs", result.stderr)

    def test_refuses_a_namespace_without_the_pair(self):
        result = subprocess.run(["unshare", "--net", CHECK], capture_output=True, text=True, timeout=60)
        self.assertEqual(result.returncode, 1, result.stderr)
        self.assertIn("no kmv0/kmv1 veth pair", result.stderr)

    def test_refuses_the_machines_own_network(self):
        result = subprocess.run([CHECK], capture_output=True, text=True, timeout=60)
        self.assertEqual(result.returncode, 1, result.stderr)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
