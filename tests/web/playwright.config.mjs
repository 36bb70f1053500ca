// The web app in Debian's Chromium (no browser download), served from build/web/site on the
// loopback: every test once at a desktop size and once as a phone with touch.
import { defineConfig } from '@playwright/test';

const url = 'http://127.0.0.1:8091/';
export default defineConfig({
  testDir: '.',
  outputDir: '../../build/web/test-results',
  reporter: 'line',
  workers: 1,
  timeout: 180_000,
  webServer: { command: 'python3 ../../scripts/serve-web ../../build/web/site 8091', url },
  use: {
    baseURL: url,
    browserName: 'chromium',
    launchOptions: { executablePath: '/usr/bin/chromium', args: ['--no-sandbox', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', '--no-first-run'] },
  },
  projects: [
    { name: 'desktop', use: { viewport: { width: 1024, height: 720 } } },
    { name: 'phone', use: { viewport: { width: 390, height: 844 }, isMobile: true, hasTouch: true, deviceScaleFactor: 3 } },
  ],
});
