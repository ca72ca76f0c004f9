// A stand-in for the mixer state server: socket.io 2.x (Engine.IO 3) on
// 127.0.0.1, port 80 unless another is given.
//
// Standard output, one line each:
//   listening                the server accepts connections
//   connect <origin>         a client connected, with its Origin header
//   frame <text>             a frame from a client, exactly as sent ("42[...]", "2");
//                            with --stamp, followed by a tab and its arrival time in
//                            nanoseconds on the monotonic clock
//   disconnect               a client went away
// Standard input, one command a line:
//   emit <json>              sends a "message" event with that argument to every client
//   raw <text>               sends a raw frame ("3", "0{}", "42[broken") to every client
//   answer <json>            from now on, answers every INIT request with {"cmd":"INIT","data":<json>}
'use strict';

const http = require('http');
const readline = require('readline');
const socketio = require('socket.io');

const stamp = process.argv.includes('--stamp');
const port = Number(process.argv.slice(2).find((a) => !a.startsWith('--')) || 80);
const server = http.createServer();
const io = socketio(server, { serveClient: false });
const packetTypes = ['open', 'close', 'ping', 'pong', 'message', 'upgrade', 'noop'];
let initAnswer = null;

function isInitRequest(arg) {
  if (typeof arg === 'string') {
    try { arg = JSON.parse(arg); } catch (e) { return false; }
  }
  return arg !== null && typeof arg === 'object' && arg.cmd === 'INIT';
}

io.on('connection', (socket) => {
  const conn = socket.conn;
  console.log('connect ' + (socket.handshake.headers.origin || ''));
  conn.on('packet', (packet) => {
    const type = packetTypes.indexOf(packet.type);
    const text = 'frame ' + type + (packet.data === undefined ? '' : packet.data);
    console.log(stamp ? text + '\t' + process.hrtime.bigint() : text);
  });
  socket.on('message', (arg) => {
    if (initAnswer !== null && isInitRequest(arg)) socket.emit('message', { cmd: 'INIT', data: initAnswer });
  });
  socket.on('disconnect', () => console.log('disconnect'));
});

readline.createInterface({ input: process.stdin }).on('line', (line) => {
  const space = line.indexOf(' ');
  const command = space < 0 ? line : line.slice(0, space);
  const rest = space < 0 ? '' : line.slice(space + 1);
  if (command === 'emit') {
    io.emit('message', JSON.parse(rest));
  } else if (command === 'answer') {
    initAnswer = JSON.parse(rest);
  } else if (command === 'raw') {
    const type = packetTypes[Number(rest[0])];
    for (const id of Object.keys(io.sockets.sockets)) io.sockets.sockets[id].conn.sendPacket(type, rest.slice(1));
  } else {
    console.error('unknown command: ' + line);
  }
});

server.listen(port, '127.0.0.1', () => console.log('listening'));
