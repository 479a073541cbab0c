"""The harness's own teardown: stopping an X server ends it and never raises, also when a busy
machine keeps the server from acting on SIGTERM (here it is held stopped) or it has ended."""
import os
import signal
import unittest

import harness
from harness import XServer


class Teardown(unittest.TestCase):
    def test_stopping_a_server_ends_it(self):
        for how, before_stop in (("ending on SIGTERM", lambda x: None),
                                 ("never acting on SIGTERM", lambda x: os.kill(x.proc.pid, signal.SIGSTOP)),
                                 ("ended already", lambda x: (x.proc.kill(), x.proc.wait()))):
            with self.subTest(how):
                x = XServer()
                self.addCleanup(x.stop)
                x.run("xdotool", "getdisplaygeometry")
                before_stop(x)
                x.stop()
                self.assertIsNotNone(x.proc.poll())


if __name__ == "__main__":
    harness.main()
