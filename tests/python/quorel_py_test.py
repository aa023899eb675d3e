"""The Python wrapper against libquorel.so on the default simulated machine:
which results it turns into exceptions, and which it passes through."""
import os
import re
import subprocess
import sys
import tempfile
import unittest

import quorel

# One type-1 card whose window the driver refuses to map.
REFUSED_MACHINE = """\
00:05.0 Signal processing controller: Device 6a5d:0101
00: 5d 6a 01 01 06 00 80 02 01 00 80 11 00 20 00 00
10: 00 00 00 fd 00 00 00 00 00 00 00 00 00 00 00 00
refuse-map 00:05.0
"""


REG = "REG must be 0 to 254 (255 is the control/status register)"  # (method, arguments, exception, message):
REFUSED = [
    ("open", (2**32 + 2,), OverflowError, "index is 4294967298: a card position must fit a C int, -2147483648 to 2147483647"),
    ("read", (255,), ValueError, "index is 255: " + REG),
    ("write", (2**32 + 5, 1), OverflowError, "index is 4294967301: " + REG),
    ("write", (5, -1), ValueError, "value is -1: VALUE must be 0 to 255"),
    ("read_board", (2**32 + 1, 6), OverflowError, "board is 4294967297: board ID must be 0 to 3"),
    ("read_board", (4, 6), ValueError, "board is 4: board ID must be 0 to 3"),
    ("write_board", (2, 5, 256), ValueError, "value is 256: VALUE must be 0 to 255"),
    ("set_write_delay", (float("inf"),), ValueError, "microseconds is inf: the pause must be finite (0 turns it off)"),
]


class WrapperTest(unittest.TestCase):
    # Discovery happens once per process: the cases run in this order.
    @classmethod
    def setUpClass(cls):
        cls.q = quorel.load()

    def test_1_before_open_writes_fail_reads_pass_through(self):
        with self.assertRaises(quorel.QuorelError) as caught:
            self.q.write(5, 1)
        self.assertEqual((caught.exception.function, caught.exception.result), ("Quorel_out", 1))
        self.assertEqual(self.q.read(5), 1)  # 1 is also a register value: no exception

    def test_2_open_past_the_last_card(self):
        with self.assertRaisesRegex(quorel.QuorelError, r"Quorel_open returned 1: no card"):
            self.q.open(3)

    def test_3_cards_and_boards(self):
        self.q.open(2)
        self.q.c.Quorel_out(0x105, 0x1A7)  # the library counts both by their low 8 bits
        self.assertEqual(self.q.read(5), 0xA7)
        self.q.set_write_delay(0.0)
        self.q.close()
        self.q.open_boards()
        self.assertEqual(self.q.boards(), [1, 2, 3])
        self.check_refusals()
        with self.assertRaisesRegex(quorel.QuorelError, "Quorel_out2 returned 1"):
            self.q.write_board(0, 5, 1)
        self.q.close_boards()
        self.assertEqual(self.q.boards(), [])
        self.assertEqual(self.q.version(), (1, 1))

    def check_refusals(self):
        """Card 2 (board 3) addressed, register 5 = 0xA7: nothing wraps onto a card."""
        for method, args, error, words in REFUSED:
            with self.subTest(method=method, args=args):
                with self.assertRaisesRegex(error, "^" + re.escape(words) + "$"):
                    getattr(self.q, method)(*args)
                self.assertEqual(self.q.read(5), 0xA7)
        self.assertEqual(self.q.status(), 0x33)  # still card 2: neither open() nor a board took it

    def test_refused_mapping_raises_with_result_2(self):
        with tempfile.TemporaryDirectory() as folder:
            machine = os.path.join(folder, "refused.lspci")
            with open(machine, "w") as out:
                out.write(REFUSED_MACHINE)
            child = subprocess.run(
                [sys.executable, "-c", "import quorel; quorel.load().open(0)"],
                env=dict(os.environ, QUOREL_SIM_MACHINE=machine), capture_output=True, text=True)
        self.assertNotEqual(child.returncode, 0)
        self.assertIn("QuorelError: Quorel_open returned 2: the card's register window", child.stderr)


if __name__ == "__main__":
    unittest.main()
